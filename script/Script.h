#pragma once
// The script component: the object through which a host uses the engine. It
// holds the source text and its language, compiles the text into runtime
// objects, keeps them and everything the host registers in one item
// registry, runs the compiled main statement and reports each statement to
// a host handler.
//
// Scripts form a chain: a name a script does not hold is looked up in its
// parent script. Every script procedure's body lives in a local script whose
// parent is the declaring script.
//
// The registry is sorted by name ignoring case; a new entry goes before the
// entries of the same name, so a lookup finds the newest. It owns its
// objects. Entries carry the owner tag in force when they were added (0, 1
// for the system items, or a host object), so that a host can remove what it
// added.
//
// Compile errors never raise: they stay on the script (ErrorMessage,
// ErrorPosition "line:col", ErrorUnit) and Compile answers false. Run-time
// errors are exceptions (ScriptError and the platform's errors); they leave
// Execute with the flags reset.

#include "platform/classlib/Classes.h"
#include "script/ILParser.h"
#include "script/Variables.h"

#include <QByteArray>
#include <QByteArrayList>

#include <functional>
#include <span>

namespace script {

class TfsStatement;
class TfsProcVariable;
class TfsScript;

// A binding module: made for a script by AddRTTI, it registers types,
// constants, functions and class entries there, and lives in the script's
// registry as an unnamed entry until ClearRTTI.
class TfsRTTIModule : public TfsObject {
public:
    explicit TfsRTTIModule(TfsScript *script) : Script(script) {}
    TfsScript *Script;
};
using TfsModuleFactory = TfsRTTIModule *(*)(TfsScript *script);
// The binding modules every script gets from AddRTTI, in the order of
// registration (filled at start, before any script exists).
std::vector<TfsModuleFactory> &RTTIModules();

// Called before each executed statement: the script the statement belongs
// to, the unit ("" for the script's own text) and "line:col".
using TfsRunLineEvent = std::function<void(TfsScript *sender, const QByteArray &unitName, const QByteArray &sourcePos)>;
// Supplies the intermediate program of a unit (empty: the uses clause's own).
using TfsGetILUnitEvent = std::function<void(TfsScript *sender, const QByteArray &unitName, QByteArray &unitText)>;

class TfsScript : public platform::classlib::TComponent, public CompileTarget {
    TOLVANE_CLASSINFO
public:
    explicit TfsScript(platform::classlib::TComponent *owner = nullptr);
    ~TfsScript() override;

    // The source text; "PascalScript" after creation.
    platform::classlib::TStringList Lines;
    QString SyntaxType = QStringLiteral("PascalScript");
    TfsGetILUnitEvent OnGetILUnit;
    TfsRunLineEvent OnRunLine;

    // Registry.
    void Add(const QByteArray &name, TfsObject *item);
    // Takes the entry out without freeing its object.
    void Remove(TfsObject *item);
    int Count() const { return static_cast<int>(items_.size()); }
    TfsObject *GetItem(int index) const { return items_[static_cast<size_t>(index)].object; }
    const QByteArray &GetItemName(int index) const { return items_[static_cast<size_t>(index)].name; }
    // The newest entry of the name in this script, when it is a variable of
    // some kind; none for the empty name.
    TfsCustomVariable *FindLocal(const QByteArray &name) const;
    // FindLocal here, then up the parent chain.
    TfsCustomVariable *Find(const QByteArray &name) const;
    TfsClassVariable *FindClass(const QByteArray &name) const;

    // Frees every entry but the binding modules and the items tagged 1,
    // then the statements and the code lines.
    void Clear();
    void ClearItems(intptr_t owner);
    void RemoveItemsOf(intptr_t owner);
    // Makes the binding modules (once; their items are tagged 1).
    void AddRTTI();
    // Frees the modules and every item tagged 1.
    void ClearRTTI();

    // Registration.
    void AddType(const QByteArray &name, int typeCode);
    // None when the name is taken.
    TfsClassVariable *AddClass(const ClassInfo &classRef, const QByteArray &ancestor);
    void AddConst(const QByteArray &name, const QByteArray &typeName, const Variant &value);
    void AddVariable(const QByteArray &name, const QByteArray &typeName, const Variant &value);
    // A variable of the object's class holding its handle.
    void AddObject(const QByteArray &name, TObject *instance);
    // Values 0, 1, 2 ... (AddEnumSet: 1, 2, 4 ...) of the comma-separated names.
    void AddEnum(const QByteArray &typeName, const QByteArray &names);
    void AddEnumSet(const QByteArray &typeName, const QByteArray &names);
    TfsMethodHelper *AddMethod(const QByteArray &syntax, TfsCallMethod handler, const QByteArray &category = {},
                               const QByteArray &description = {});
    TfsMethodHelper *AddArrayParamMethod(const QByteArray &syntax, TfsCallMethodArray handler,
                                         const QByteArray &category = {}, const QByteArray &description = {});

    // Compiling and running.
    // True when the text compiled; raises only for a language not registered.
    bool Compile();
    void Execute();
    // Stops a running script, down through the local scripts of its procedures.
    void Terminate();
    void RunLine(const QByteArray &unitName, const QByteArray &sourcePos);
    void AddCodeLine(const QByteArray &unitName, const QByteArray &sourcePos);
    // Runs the script procedure of the name (this script's own) with the
    // arguments (null, or an array: element i to parameter i); null for a
    // name that is no procedure. More arguments than parameters raise.
    Variant CallFunction(const QByteArray &name, const Variant &args);
    // The same, and each parameter's final value goes back into the array.
    Variant CallFunctionVarArgs(const QByteArray &name, Variant &args);

    TfsScript *ParentScript = nullptr;
    TfsStatement *MainStatement() const { return mainStatement_; }
    // "unit=12,13,17," per unit.
    QByteArrayList CodeLines;
    intptr_t OwnerTag = 0;

    // Run flags.
    bool BreakRequested = false;
    bool ContinueRequested = false;
    bool ExitRequested = false;
    bool Terminated = false;
    bool IsRunning = false;
    bool IsMainProgram = false;
    bool ModulesAdded = false;
    // While a script procedure runs under this main program: its local script.
    TfsScript *RunningLocalScript = nullptr;
    // Any of break, continue or exit.
    bool FlowRequested() const { return BreakRequested || ContinueRequested || ExitRequested; }

private:
    struct Entry {
        QByteArray name;
        TfsObject *object;
    };
    size_t lowerBound(const QByteArray &name) const;
    void freeStatements();

    std::vector<Entry> items_;
    TfsStatement *mainStatement_;
};

// What every script needs before it compiles anything: the type names, the
// constants True, False, nil and Null, and the shared helpers
// "__StringHelper" and "__ArrayHelper". Added with owner tag 1 (system items).
void AddCoreItems(TfsScript &script);

// The runtime objects built from a parsed program (the parser's second
// stage); errors go to the script as ErrorMessage, ErrorPosition, ErrorUnit.
void ILToObjects(TfsILParser &parser, TfsScript &script);

} // namespace script
