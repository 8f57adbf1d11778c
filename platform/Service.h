#pragma once
// One way to reach a replaceable service: the instance installed, else the
// default one. A service type is an interface (the user answers, the
// clipboard, the dialogs, the report engine) or a small setting (the clock,
// the decimal separator). Its default is a default-made T, unless the header
// that declares T names another by declaring a specialization of
// Service<T>::fallback() (an abstract T must). The program installs what it
// needs at start; tests install theirs with a ScopedService.
//
// Everything runs on the user-interface thread: the slots take no lock.

#include <concepts>
#include <memory>
#include <type_traits>
#include <utility>

namespace platform {

template <class T>
class Service {
public:
    // The instance in use.
    static T &get()
    {
        T *instance = installed();
        return instance ? *instance : fallback();
    }
    // Installs an instance that the caller keeps alive (null: the default
    // again); returns the one it replaces (null for the default).
    static T *install(T *instance) { return std::exchange(installed(), instance); }
    // The instance used while none is installed.
    static T &fallback()
    {
        static T instance;
        return instance;
    }

private:
    static T *&installed()
    {
        static T *instance = nullptr;
        return instance;
    }
};

// Installs a service while it lives; the one it replaced comes back when it is
// destroyed. Guards end in the reverse order of their making.
template <class T>
class ScopedService {
public:
    // An instance the caller keeps.
    explicit ScopedService(T &instance) : previous_(Service<T>::install(&instance)) {}
    // A value of its own, for settings: ScopedService<Clock> pin(dateTime).
    // Not for interfaces: a copy would lose what the caller's class adds.
    explicit ScopedService(T &&value)
        requires(std::move_constructible<T> && !std::is_polymorphic_v<T>)
        : own_(std::make_unique<T>(std::move(value))), previous_(Service<T>::install(own_.get()))
    {
    }
    ~ScopedService() { Service<T>::install(previous_); }
    ScopedService(const ScopedService &) = delete;
    ScopedService &operator=(const ScopedService &) = delete;

private:
    std::unique_ptr<T> own_;
    T *previous_;
};

} // namespace platform
