#include "script/Languages.h"

#include "platform/TextCodec.h"
#include "script/GrammarTexts.h"
#include "script/ScriptError.h"

#include <utility>
#include <vector>

namespace script {

QString SLangNotFound, SInvalidLanguage, SIdRedeclared, SUnknownType, SIncompatibleTypes, SIdUndeclared,
    SClassRequired, SIndexRequired, SStringError, SClassError, SArrayRequired, SVarRequired, SNotEnoughParams,
    STooManyParams, SLeftCantAssigned, SForError, SEventError;

void ResetScriptMessages()
{
    SLangNotFound = QStringLiteral("Language '%s' not found");
    SInvalidLanguage = QStringLiteral("Invalid language definition");
    SIdRedeclared = QStringLiteral("Identifier redeclared: ");
    SUnknownType = QStringLiteral("Unknown type: ");
    SIncompatibleTypes = QStringLiteral("Incompatible types");
    SIdUndeclared = QStringLiteral("Undeclared identifier: ");
    SClassRequired = QStringLiteral("Class type required");
    SIndexRequired = QStringLiteral("Index required");
    SStringError = QStringLiteral("Strings doesn't have properties or methods");
    SClassError = QStringLiteral("Class %s does not have a default property");
    SArrayRequired = QStringLiteral("Array type required");
    SVarRequired = QStringLiteral("Variable required");
    SNotEnoughParams = QStringLiteral("Not enough actual parameters");
    STooManyParams = QStringLiteral("Too many actual parameters");
    SLeftCantAssigned = QStringLiteral("Left side cannot be assigned to");
    SForError = QStringLiteral("For loop variable must be numeric variable");
    SEventError = QStringLiteral("Event handler must be a procedure");
}

namespace {

// The texts are in place before any code of the program runs.
const bool messagesSet = (ResetScriptMessages(), true);

struct Registry {
    std::vector<std::pair<QString, QByteArray>> entries;
    int version = 0;
};

Registry &registry()
{
    static Registry r;
    return r;
}

} // namespace

void AddLanguage(const QString &name, const QByteArray &grammar)
{
    Registry &r = registry();
    ++r.version;
    for (auto &entry : r.entries) {
        if (platform::ansiSameText(entry.first, name)) {
            entry.second = grammar;
            return;
        }
    }
    r.entries.emplace_back(name, grammar);
}

QByteArray GetLanguageGrammar(const QString &name)
{
    for (const auto &entry : registry().entries)
        if (platform::ansiSameText(entry.first, name))
            return entry.second;
    QString message = SLangNotFound;
    throw ScriptError(message.replace(QStringLiteral("%s"), name));
}

QStringList LanguageNames()
{
    QStringList names;
    for (const auto &entry : registry().entries)
        names << entry.first;
    return names;
}

int LanguagesVersion()
{
    return registry().version;
}

void RegisterBuiltInLanguages()
{
    for (int i = 0; i < kBuiltInGrammarCount; ++i)
        AddLanguage(QString::fromLatin1(kBuiltInGrammars[i].name), QByteArray(kBuiltInGrammars[i].text));
}

} // namespace script
