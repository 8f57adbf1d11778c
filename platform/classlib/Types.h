#pragma once
// The types of published properties the class library itself names. Named
// types (TColor, TCursor, TModalResult, TShortCut, TDateTime,
// TComponentName ...) are types of their own over a plain kind, so that a
// property editor or a file can tell a colour from an integer.

#include "platform/classlib/Reflection.h"

#include <functional>

namespace platform::classlib {

inline constexpr TypeInfo tiInteger{"Integer", Kind::Integer};
inline constexpr TypeInfo tiCardinal{"Cardinal", Kind::Integer};
inline constexpr TypeInfo tiInt64{"Int64", Kind::Int64};
inline constexpr TypeInfo tiChar{"Char", Kind::Char};
inline constexpr TypeInfo tiWideChar{"WideChar", Kind::WChar};
inline constexpr TypeInfo tiSingle{"Single", Kind::Float, {}, nullptr, nullptr, FloatType::Single};
inline constexpr TypeInfo tiDouble{"Double", Kind::Float, {}, nullptr, nullptr, FloatType::Double};
inline constexpr TypeInfo tiExtended{"Extended", Kind::Float, {}, nullptr, nullptr, FloatType::Extended};
inline constexpr TypeInfo tiCurrency{"Currency", Kind::Float, {}, nullptr, nullptr, FloatType::Currency};
inline constexpr TypeInfo tiString{"String", Kind::String};
inline constexpr TypeInfo tiWideString{"WideString", Kind::WString};
inline constexpr TypeInfo tiVariant{"Variant", Kind::Variant};

inline constexpr const char *kBooleanNames[] = {"False", "True"};
inline constexpr TypeInfo tiBoolean{"Boolean", Kind::Enum, kBooleanNames};

// Named types.
inline constexpr TypeInfo tiColor{"TColor", Kind::Integer};
inline constexpr TypeInfo tiCursor{"TCursor", Kind::Integer};
inline constexpr TypeInfo tiModalResult{"TModalResult", Kind::Integer};
inline constexpr TypeInfo tiShortCut{"TShortCut", Kind::Integer};
inline constexpr TypeInfo tiDateTime{"TDateTime", Kind::Float, {}, nullptr, nullptr, FloatType::Double};
inline constexpr TypeInfo tiComponentName{"TComponentName", Kind::String};
inline constexpr TypeInfo tiCaption{"TCaption", Kind::String};
inline constexpr TypeInfo tiFontName{"TFontName", Kind::String};

// An event that names only its sender.
using TNotifyEvent = std::function<void(TObject *sender)>;
inline constexpr TypeInfo tiNotifyEvent{"TNotifyEvent", Kind::Method};

} // namespace platform::classlib
