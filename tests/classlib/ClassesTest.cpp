// Components, string lists, streams, wide-string lists and the name tables.

#include "TestClasses.h"

#include "platform/NameTables.h"
#include "platform/classlib/Filer.h"
#include "platform/classlib/WideStrings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace testclasses;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Notes the components it is told were freed.
class TWatcher : public TComponent {
    TOLVANE_CLASSINFO
public:
    using TComponent::TComponent;
    QStringList removed;
    void Notification(TComponent *component, Operation operation) override
    {
        if (operation == Operation::Remove)
            removed << component->Name();
        TComponent::Notification(component, operation);
    }
};

const ClassInfo &TWatcher::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TWatcher, TComponent>("TWatcher", {});
    return info;
}

} // namespace

TEST(Components, OwnerNamesAndFreeNotification)
{
    auto *owner = new TTestReport;
    auto *a = new TTestView(owner);
    a->SetName(QStringLiteral("Memo1"));
    auto *b = new TTestView(owner);
    const struct {
        const char *name;
        const char *error; // nullptr: accepted
    } names[] = {
        {"Memo2", nullptr},
        {"_x9", nullptr},
        {"", nullptr},
        {"MEMO1", "Компонент с именем MEMO1 уже существует"},
        {"9Memo", "«9Memo» не является допустимым именем компонента"},
        {"Мемо", "«Мемо» не является допустимым именем компонента"},
        {"a b", "«a b» не является допустимым именем компонента"},
    };
    for (const auto &n : names) {
        const QString before = b->Name();
        try {
            b->SetName(QString::fromUtf8(n.name));
            EXPECT_EQ(n.error, nullptr) << n.name;
        } catch (const ClassError &e) {
            ASSERT_NE(n.error, nullptr) << n.name;
            EXPECT_EQ(e.message(), QString::fromUtf8(n.error));
            EXPECT_EQ(b->Name(), before) << "a refused name leaves the name";
        }
    }
    EXPECT_EQ(owner->FindComponent(u"memo1"), a);
    EXPECT_EQ(owner->ComponentCount(), 2);

    // A watcher outside the owner asks about the memo and is told once.
    TWatcher watcher;
    a->FreeNotification(&watcher);
    const std::int32_t handleA = a->handle();
    delete a;
    EXPECT_EQ(watcher.removed, QStringList{QStringLiteral("Memo1")});
    EXPECT_EQ(owner->ComponentCount(), 1) << "a freed component leaves its owner";
    EXPECT_THROW(objectOf(handleA, TObject::staticClassInfo()), InvalidObjectReference);

    // The owner frees what it owns; a freed watcher is forgotten.
    const std::int32_t handleB = b->handle();
    {
        TWatcher shortLived;
        b->FreeNotification(&shortLived);
    }
    delete owner;
    EXPECT_THROW(objectOf(handleB, TObject::staticClassInfo()), InvalidObjectReference);

    // Loading state.
    TTestView loading;
    loading.SetLoading();
    EXPECT_TRUE(loading.ComponentState() & csLoading);
    loading.Loaded();
    EXPECT_FALSE(loading.ComponentState() & csLoading);
}

TEST(StringLists, SortedDuplicatesFindAndText)
{
    TStringList list;
    TTestView object;
    list.AddObject(QStringLiteral("b"), &object);
    list.Add(QStringLiteral("Б"));
    list.Add(QStringLiteral("a"));
    EXPECT_EQ(list.Text(), QStringLiteral("b\r\nБ\r\na\r\n"));
    EXPECT_EQ(list.IndexOf(QStringLiteral("B")), 0) << "letter case ignored";
    EXPECT_EQ(list.IndexOf(QStringLiteral("б")), 1);
    list.SetSorted(true);
    EXPECT_EQ(list.Text(), QStringLiteral("a\r\nb\r\nБ\r\n"));
    EXPECT_EQ(list.GetObject(1), &object) << "objects move with their lines";
    int at = -1;
    EXPECT_TRUE(list.Find(QStringLiteral("B"), at));
    EXPECT_EQ(at, 1);
    EXPECT_FALSE(list.Find(QStringLiteral("ab"), at));
    EXPECT_EQ(at, 1) << "where it would go";
    EXPECT_EQ(list.Add(QStringLiteral("ab")), 1);
    EXPECT_EQ(list.Add(QStringLiteral("AB")), 1) << "ignored duplicate";
    EXPECT_EQ(list.Count(), 4);
    list.SetDuplicates(Duplicates::Error);
    try {
        list.Add(QStringLiteral("a"));
        ADD_FAILURE() << "duplicate accepted";
    } catch (const ClassError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Список строк не допускает повторяющихся строк"));
    }
    list.SetDuplicates(Duplicates::Accept);
    list.Add(QStringLiteral("a"));
    EXPECT_EQ(list.Count(), 5);
    EXPECT_THROW(list.Insert(0, QStringLiteral("z")), ClassError) << "no insert into a sorted list";
    try {
        list.Get(5);
        ADD_FAILURE() << "read past the end";
    } catch (const ClassError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Индекс списка вне границ (5)"));
    }

    // Text: CR LF, lone LF and lone CR end lines; a final end mark adds no line.
    const struct {
        const char16_t *text;
        const char16_t *lines;
    } texts[] = {
        {u"a\r\nb", u"a|b"}, {u"a\nb\n", u"a|b"}, {u"a\rb\r\r", u"a|b|"}, {u"", u""}, {u"\r\n", u""},
        {u"x\n\ny", u"x||y"},
    };
    TStringList plain;
    for (const auto &t : texts) {
        plain.SetText(QStringView(t.text));
        QStringList lines;
        for (int i = 0; i < plain.Count(); ++i)
            lines << plain.Get(i);
        EXPECT_EQ(lines.join(u'|'), QString::fromUtf16(t.lines)) << QString::fromUtf16(t.text).toStdString();
    }
    int changes = 0;
    plain.OnChange = [&](TObject *) { ++changes; };
    plain.SetText(u"1\n2\n3");
    EXPECT_EQ(changes, 1) << "one change for the whole text";
}

TEST(Streams, StringListAndMemoryRoundTrips)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lines.txt"));
    TStringList list;
    list.SetText(u"Итого\r\nline 2");
    list.SaveToFile(path);
    EXPECT_EQ(fileBytes(path), QByteArray("\xC8\xF2\xEE\xE3\xEE\r\nline 2\r\n"));
    TStringList back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Text(), list.Text());

    TMemoryStream memory;
    memory.WriteBytes("abcdef");
    memory.SetPosition(2);
    char two[2];
    memory.ReadBuffer(two, 2);
    EXPECT_EQ(QByteArray(two, 2), QByteArray("cd"));
    EXPECT_THROW(memory.ReadBuffer(two, 3), StreamError) << "only two bytes left";
    memory.SetSize(3);
    EXPECT_EQ(memory.Position(), 3);
    memory.SaveToFile(path);
    TFileStream file(path, fmOpenRead);
    EXPECT_EQ(file.Size(), 3);
    EXPECT_EQ(file.ReadRest(), QByteArray("abc"));

    try {
        TFileStream missing(dir.filePath(QStringLiteral("none.txt")), fmOpenRead);
        ADD_FAILURE() << "opened a missing file";
    } catch (const StreamError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не удаётся открыть файл «")));
    }
}

TEST(WideStrings, SetTextTableAndBounds)
{
    const struct {
        const char16_t *text;
        const char16_t *lines;
    } texts[] = {
        {u"a\r\nb", u"a|b"},          // CR LF once
        {u"a\nb", u"a|b"},            // lone LF
        {u"a\rb", u"a|b"},            // lone CR
        {u"a\u2028b\u2028", u"a|b"},  // line separator, trailing mark adds no line
        {u"a\r\n\u2028b", u"a|b"},    // CR, LF and U+2028 skipped in that order
        {u"single", u"single"},
        {u"", nullptr},               // no line
    };
    TWideStrings list;
    for (const auto &t : texts) {
        list.SetText(QStringView(t.text));
        QStringList lines;
        for (int i = 0; i < list.Count(); ++i)
            lines << list.Strings(i);
        if (!t.lines)
            EXPECT_EQ(list.Count(), 0);
        else
            EXPECT_EQ(lines.join(u'|'), QString::fromUtf16(t.lines)) << QString::fromUtf16(t.text).toStdString();
    }
    list.SetText(u"one");
    EXPECT_EQ(list.Text(), QStringLiteral("one\r\n"));
    EXPECT_EQ(list.Strings(-1), QString());
    EXPECT_EQ(list.Strings(1), QString());
    list.SetString(1, QStringLiteral("two"));
    EXPECT_EQ(list.Count(), 2);
    try {
        list.SetString(3, QStringLiteral("four"));
        ADD_FAILURE() << "set past the end";
    } catch (const ClassError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Wide String Out of Bounds"));
    }
    EXPECT_EQ(list.Count(), 2) << "the list is left";
    EXPECT_EQ(list.IndexOf(QStringLiteral("TWO")), -1) << "exact comparison";
    EXPECT_EQ(list.IndexOf(QStringLiteral("two")), 1);
}

TEST(WideStrings, FilesKeepTheirText)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wide.txt"));
    TWideStrings list;
    list.SetText(u"Ж€\u2713\r\nb");
    list.SaveToFile(path);
    const QByteArray bytes = fileBytes(path);
    ASSERT_TRUE(bytes.startsWith("\xFF\xFE")) << "the mark the reader knows";
    TWideStrings back;
    back.LoadFromFile(path);
    EXPECT_EQ(back.Text(), list.Text()) << "saved and loaded, the list is the same";

    // FF FE and UTF-16LE bytes load as UTF-16; two bytes, or no mark, as 8-bit text.
    writeFile(path, QByteArray("\xFF\xFE\x16\x04\x0D\x00\x0A\x00", 8));
    back.LoadFromFile(path);
    EXPECT_EQ(back.Text(), QStringLiteral("Ж\r\n"));
    writeFile(path, QByteArray("\xFF\xFE"));
    back.LoadFromFile(path);
    EXPECT_EQ(back.Text(), QStringLiteral("яю\r\n"));
    writeFile(path, QByteArray("\xC6\xE8\xE7\xED\xFC"));
    back.LoadFromFile(path);
    EXPECT_EQ(back.Strings(0), QStringLiteral("Жизнь"));

    // To and from the 8-bit list: the code page's characters, objects kept.
    TStringList narrow;
    TTestView object;
    list.SetObject(0, &object);
    narrow.Assign(&list);
    EXPECT_EQ(narrow.Get(0), QStringLiteral("Ж€?"));
    EXPECT_EQ(narrow.GetObject(0), &object);
    TWideStrings wide;
    wide.Assign(&narrow);
    EXPECT_EQ(wide.Strings(0), QStringLiteral("Ж€?"));
    EXPECT_EQ(wide.Objects(0), &object);

    // In the binary stream: "UTF8", a list of UTF-8 lines.
    TMemoryStream stream;
    TWriter writer(stream);
    writer.WriteProperties(list);
    EXPECT_EQ(stream.Memory().left(7), QByteArray("\x04UTF8\x01\x06", 7));
    stream.SetPosition(0);
    TReader reader(stream);
    TWideStrings read;
    reader.ReadProperty(read);
    EXPECT_EQ(read.Text(), list.Text());
}

TEST(NameTables, ColoursCursorsModalResultsShortcuts)
{
    EXPECT_EQ(platform::colorNames().size(), 42u);
    EXPECT_EQ(platform::valueOfName(platform::colorNames(), u"CLBTNFACE"), static_cast<int>(0xFF00000F));
    EXPECT_EQ(platform::nameOfValue(platform::colorNames(), 0x1FFFFFFF), QStringLiteral("clTransparent"));
    EXPECT_EQ(platform::valueOfName(platform::cursorNames(), u"crHandPoint"), -21);
    EXPECT_EQ(platform::valueOfName(platform::charsetNames(), u"RUSSIAN_CHARSET"), 204);
    EXPECT_EQ(platform::nameOfValue(platform::modalResultNames(), 10), QStringLiteral("mrYesToAll"));
    EXPECT_FALSE(platform::valueOfName(platform::colorNames(), u"clNoSuch").has_value());

    const auto shortcuts = platform::standardShortCuts();
    ASSERT_EQ(shortcuts.size(), 108u);
    const struct {
        size_t index;
        const char *text;
    } texts[] = {{0, "Ctrl+A"},       {26, "Ctrl+Alt+A"}, {52, "F1"},          {75, "Ctrl+F12"},
                 {76, "Shift+F1"},    {88, "Shift+Ctrl+F1"}, {100, "Ins"},     {104, "Shift+Del"},
                 {106, "Alt+BkSp"},   {107, "Shift+Alt+BkSp"}};
    for (const auto &t : texts)
        EXPECT_EQ(platform::shortCutToText(shortcuts[t.index]), QString::fromLatin1(t.text)) << t.index;
    for (const int s : shortcuts)
        EXPECT_EQ(platform::textToShortCut(platform::shortCutToText(s)), s) << s;
    EXPECT_EQ(platform::textToShortCut(u"ctrl+shift+f5"), 0x74 | platform::scCtrl | platform::scShift);
    EXPECT_EQ(platform::textToShortCut(u"Ctrl+"), 0);
    EXPECT_EQ(platform::textToShortCut(u"Hyper+Q"), 0);
}
