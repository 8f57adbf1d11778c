#include "xmlreports/Options.h"

#include "platform/Environment.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Properties.h"
#include "xmlreports/Resources.h"

namespace xmlreports {

using namespace platform::classlib;

void TfrxEngineOptions::Assign(const TPersistent *source)
{
    if (auto *o = dynamic_cast<const TfrxEngineOptions *>(source)) {
        ConvertNulls = o->ConvertNulls;
        DoublePass = o->DoublePass;
        MaxMemSize = o->MaxMemSize;
        PrintIfEmpty = o->PrintIfEmpty;
        NewSilentMode = o->NewSilentMode;
        TempDir = o->TempDir;
        UseFileCache = o->UseFileCache;
        return;
    }
    TPersistent::Assign(source);
}

void TfrxEngineOptions::Clear()
{
    ConvertNulls = true;
    DoublePass = false;
}

void TfrxPreviewOptions::Assign(const TPersistent *source)
{
    if (auto *o = dynamic_cast<const TfrxPreviewOptions *>(source)) {
        AllowEdit = o->AllowEdit;
        Buttons = o->Buttons;
        DoubleBuffered = o->DoubleBuffered;
        Maximized = o->Maximized;
        MDIChild = o->MDIChild;
        Modal = o->Modal;
        OutlineExpand = o->OutlineExpand;
        OutlineVisible = o->OutlineVisible;
        OutlineWidth = o->OutlineWidth;
        ShowCaptions = o->ShowCaptions;
        Zoom = o->Zoom;
        ZoomMode = o->ZoomMode;
        return;
    }
    TPersistent::Assign(source);
}

void TfrxPreviewOptions::Clear()
{
    OutlineExpand = true;
    OutlineVisible = false;
    OutlineWidth = 120;
}

TfrxPrintOptions::TfrxPrintOptions() : Printer(GetReportResources().Get(QStringLiteral("prDefault"))) {}

void TfrxPrintOptions::Assign(const TPersistent *source)
{
    if (auto *o = dynamic_cast<const TfrxPrintOptions *>(source)) {
        Copies = o->Copies;
        Collate = o->Collate;
        PageNumbers = o->PageNumbers;
        Printer = o->Printer;
        PrintPages = o->PrintPages;
        Reverse = o->Reverse;
        ShowDialog = o->ShowDialog;
        return;
    }
    TPersistent::Assign(source);
}

void TfrxPrintOptions::Clear()
{
    Copies = 1;
    Collate = true;
    PageNumbers.clear();
    Printer = GetReportResources().Get(QStringLiteral("prDefault"));
    PrintPages = ppAll;
    Reverse = false;
    ShowDialog = true;
}

namespace {

TfrxReportOptions::PasswordPrompt &passwordPrompt()
{
    static TfrxReportOptions::PasswordPrompt prompt;
    return prompt;
}

} // namespace

TfrxReportOptions::TfrxReportOptions() : description_(new TStringList), picture_(new TPicture)
{
    CreateDate = LastChange = platform::now();
}

TfrxReportOptions::~TfrxReportOptions()
{
    delete description_;
    delete picture_;
}

QString TfrxReportOptions::StoredPassword() const
{
    QByteArray bytes = platform::toCp1251(Password);
    for (char &c : bytes)
        c = static_cast<char>(static_cast<unsigned char>(c) - 10);
    return platform::fromCp1251(bytes);
}

void TfrxReportOptions::SetStoredPassword(const QString &text)
{
    QByteArray bytes = platform::toCp1251(text);
    for (char &c : bytes)
        c = static_cast<char>(static_cast<unsigned char>(c) + 10);
    Password = platform::fromCp1251(bytes);
}

void TfrxReportOptions::SetConnectionName(const QString &name)
{
    connectionName_ = name;
    if (name.isEmpty() || !OnSetConnection)
        return;
    const auto key = QStringLiteral("\\Software\\Zizo Rozoriz\\Connections");
    auto &registry = platform::Registry::instance();
    if (!registry.keyExists(platform::RegRoot::LocalMachine, key))
        return;
    std::optional<QString> text;
    try {
        text = registry.readString(platform::RegRoot::LocalMachine, key, name);
    } catch (const platform::RegistryError &) {
    }
    OnSetConnection(text.value_or(QString()));
}

void TfrxReportOptions::SetPasswordPrompt(PasswordPrompt prompt)
{
    passwordPrompt() = std::move(prompt);
}

bool TfrxReportOptions::CheckPassword()
{
    if (Password.isEmpty() || Password == entered_)
        return true;
    QString typed;
    if (passwordPrompt() && passwordPrompt()(typed) && typed == Password) {
        entered_ = typed;
        return true;
    }
    return false;
}

void TfrxReportOptions::Assign(const TPersistent *source)
{
    if (auto *o = dynamic_cast<const TfrxReportOptions *>(source)) {
        Author = o->Author;
        Compressed = o->Compressed;
        connectionName_ = o->connectionName_;
        CreateDate = o->CreateDate;
        description_->Assign(o->description_);
        InitString = o->InitString;
        LastChange = o->LastChange;
        Name = o->Name;
        Password = o->Password;
        picture_->Assign(o->picture_);
        VersionBuild = o->VersionBuild;
        VersionMajor = o->VersionMajor;
        VersionMinor = o->VersionMinor;
        VersionRelease = o->VersionRelease;
        return;
    }
    TPersistent::Assign(source);
}

void TfrxReportOptions::Clear()
{
    if (!InfoOnly) {
        Author.clear();
        Compressed = false;
        CreateDate = LastChange = platform::now();
        description_->Clear();
        picture_->SetGraphic(nullptr);
        VersionBuild.clear();
        VersionMajor.clear();
        VersionMinor.clear();
        VersionRelease.clear();
    }
    connectionName_.clear();
    InitString.clear();
    Name.clear();
    Password.clear();
    entered_.clear();
}

TfrxStyleItem::TfrxStyleItem() : font_(new TFont), frame_(new TfrxFrame)
{
    font_->SetName(QStringLiteral("Arial"));
    font_->SetSize(10);
    font_->SetCharset(1);
}

TfrxStyleItem::~TfrxStyleItem()
{
    delete font_;
    delete frame_;
}

void TfrxStyleItem::SetName(const QString &name)
{
    if (auto *styles = dynamic_cast<TfrxStyles *>(Collection())) {
        TfrxStyleItem *other = styles->Find(name);
        if (other && other != this)
            throw ReportException(QStringLiteral("Duplicate name"));
    }
    name_ = name;
}

void TfrxStyleItem::Assign(const TPersistent *source)
{
    if (auto *s = dynamic_cast<const TfrxStyleItem *>(source)) {
        SetName(s->name_);
        Color = s->Color;
        font_->Assign(s->font_);
        frame_->Assign(s->frame_);
        return;
    }
    TCollectionItem::Assign(source);
}

TfrxStyles::TfrxStyles(TfrxComponent *report) : TCollection(TfrxStyleItem::staticClassInfo()), report_(report) {}

TfrxStyleItem *TfrxStyles::Find(const QString &name) const
{
    for (int i = 0; i < Count(); ++i)
        if (platform::ansiSameText(Items(i)->Name(), name))
            return Items(i);
    return nullptr;
}

namespace {

const char *const kSilentModeNames[] = {"simMessageBoxes", "simSilent", "simReThrow"};
constexpr TypeInfo tiSilentMode{"TfrxSilentMode", Kind::Enum, kSilentModeNames};
const char *const kPreviewButtonNames[] = {"pbPrint",   "pbLoad",      "pbSave",  "pbExport",
                                           "pbZoom",    "pbFind",      "pbOutline", "pbPageSetup",
                                           "pbTools",   "pbEdit",      "pbNavigator", "pbExportQuick"};
constexpr TypeInfo tiPreviewButton{"TfrxPreviewButton", Kind::Enum, kPreviewButtonNames};
constexpr TypeInfo tiPreviewButtons{"TfrxPreviewButtons", Kind::Set, {}, &tiPreviewButton};
const char *const kZoomModeNames[] = {"zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages"};
constexpr TypeInfo tiZoomMode{"TfrxZoomMode", Kind::Enum, kZoomModeNames};
const char *const kPrintPagesNames[] = {"ppAll", "ppOdd", "ppEven"};
constexpr TypeInfo tiPrintPages{"TfrxPrintPages", Kind::Enum, kPrintPagesNames};
constexpr TypeInfo tiStrings{"TStrings", Kind::Class, {}, nullptr, &TStringList::staticClassInfo};
constexpr TypeInfo tiPicture{"TPicture", Kind::Class, {}, nullptr, &TPicture::staticClassInfo};
constexpr TypeInfo tiFont{"TFont", Kind::Class, {}, nullptr, &TFont::staticClassInfo};
constexpr TypeInfo tiFrame{"TfrxFrame", Kind::Class, {}, nullptr, &TfrxFrame::staticClassInfo};

} // namespace

const ClassInfo &TfrxEngineOptions::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxEngineOptions::ConvertNulls>("ConvertNulls", tiBoolean).defaultsTo(1),
        field<&TfrxEngineOptions::DoublePass>("DoublePass", tiBoolean).defaultsTo(0),
        field<&TfrxEngineOptions::MaxMemSize>("MaxMemSize", tiInteger).defaultsTo(10),
        field<&TfrxEngineOptions::PrintIfEmpty>("PrintIfEmpty", tiBoolean).defaultsTo(1),
        property<&TfrxEngineOptions::SilentMode, &TfrxEngineOptions::SetSilentMode>("SilentMode", tiBoolean)
            .defaultsTo(0),
        field<&TfrxEngineOptions::NewSilentMode>("NewSilentMode", tiSilentMode).defaultsTo(simMessageBoxes),
        field<&TfrxEngineOptions::TempDir>("TempDir", tiString),
        field<&TfrxEngineOptions::UseFileCache>("UseFileCache", tiBoolean).defaultsTo(0),
    };
    static const ClassInfo info = makeClassInfo<TfrxEngineOptions, TPersistent>("TfrxEngineOptions", props);
    return info;
}

const ClassInfo &TfrxPreviewOptions::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxPreviewOptions::AllowEdit>("AllowEdit", tiBoolean).defaultsTo(1),
        field<&TfrxPreviewOptions::Buttons>("Buttons", tiPreviewButtons).defaultsTo(4095),
        field<&TfrxPreviewOptions::DoubleBuffered>("DoubleBuffered", tiBoolean).defaultsTo(1),
        field<&TfrxPreviewOptions::Maximized>("Maximized", tiBoolean).defaultsTo(1),
        field<&TfrxPreviewOptions::MDIChild>("MDIChild", tiBoolean).defaultsTo(0),
        field<&TfrxPreviewOptions::Modal>("Modal", tiBoolean).defaultsTo(1),
        field<&TfrxPreviewOptions::OutlineExpand>("OutlineExpand", tiBoolean).defaultsTo(1),
        field<&TfrxPreviewOptions::OutlineVisible>("OutlineVisible", tiBoolean).defaultsTo(0),
        field<&TfrxPreviewOptions::OutlineWidth>("OutlineWidth", tiInteger).defaultsTo(120),
        field<&TfrxPreviewOptions::ShowCaptions>("ShowCaptions", tiBoolean).defaultsTo(0),
        field<&TfrxPreviewOptions::Zoom>("Zoom", tiExtended),
        field<&TfrxPreviewOptions::ZoomMode>("ZoomMode", tiZoomMode).defaultsTo(zmDefault),
    };
    static const ClassInfo info = makeClassInfo<TfrxPreviewOptions, TPersistent>("TfrxPreviewOptions", props);
    return info;
}

const ClassInfo &TfrxPrintOptions::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxPrintOptions::Copies>("Copies", tiInteger).defaultsTo(1),
        field<&TfrxPrintOptions::Collate>("Collate", tiBoolean).defaultsTo(1),
        field<&TfrxPrintOptions::PageNumbers>("PageNumbers", tiString),
        field<&TfrxPrintOptions::Printer>("Printer", tiString),
        field<&TfrxPrintOptions::PrintPages>("PrintPages", tiPrintPages).defaultsTo(ppAll),
        field<&TfrxPrintOptions::Reverse>("Reverse", tiBoolean).defaultsTo(0),
        field<&TfrxPrintOptions::ShowDialog>("ShowDialog", tiBoolean).defaultsTo(1),
    };
    static const ClassInfo info = makeClassInfo<TfrxPrintOptions, TPersistent>("TfrxPrintOptions", props);
    return info;
}

const ClassInfo &TfrxReportOptions::staticClassInfo()
{
    static const PropInfo props[] = {
        field<&TfrxReportOptions::Author>("Author", tiString),
        field<&TfrxReportOptions::Compressed>("Compressed", tiBoolean).defaultsTo(0),
        property<&TfrxReportOptions::ConnectionName, &TfrxReportOptions::SetConnectionName>("ConnectionName",
                                                                                             tiString),
        field<&TfrxReportOptions::CreateDate>("CreateDate", tiDateTime),
        property<&TfrxReportOptions::Description, &TfrxReportOptions::SetDescription>("Description", tiStrings),
        field<&TfrxReportOptions::InitString>("InitString", tiString),
        field<&TfrxReportOptions::Name>("Name", tiString),
        field<&TfrxReportOptions::LastChange>("LastChange", tiDateTime),
        property<&TfrxReportOptions::StoredPassword, &TfrxReportOptions::SetStoredPassword>("Password", tiString),
        property<&TfrxReportOptions::Picture, &TfrxReportOptions::SetPicture>("Picture", tiPicture),
        field<&TfrxReportOptions::VersionBuild>("VersionBuild", tiString),
        field<&TfrxReportOptions::VersionMajor>("VersionMajor", tiString),
        field<&TfrxReportOptions::VersionMinor>("VersionMinor", tiString),
        field<&TfrxReportOptions::VersionRelease>("VersionRelease", tiString),
    };
    static const ClassInfo info = makeClassInfo<TfrxReportOptions, TPersistent>("TfrxReportOptions", props);
    return info;
}

const ClassInfo &TfrxStyleItem::staticClassInfo()
{
    static const PropInfo props[] = {
        property<&TfrxStyleItem::Name, &TfrxStyleItem::SetName>("Name", tiString),
        field<&TfrxStyleItem::Color>("Color", tiColor).defaultsTo(0x1FFFFFFF),
        property<&TfrxStyleItem::Font, &TfrxStyleItem::SetFont>("Font", tiFont),
        property<&TfrxStyleItem::Frame, &TfrxStyleItem::SetFrame>("Frame", tiFrame),
    };
    static const ClassInfo info = makeClassInfo<TfrxStyleItem, TCollectionItem>("TfrxStyleItem", props);
    return info;
}

const ClassInfo &TfrxStyles::staticClassInfo()
{
    static const ClassInfo info = makeClassInfo<TfrxStyles, TCollection>("TfrxStyles", {});
    return info;
}

void RegisterOptionClasses()
{
    registerClass(TfrxEngineOptions::staticClassInfo());
    registerClass(TfrxPreviewOptions::staticClassInfo());
    registerClass(TfrxPrintOptions::staticClassInfo());
    registerClass(TfrxReportOptions::staticClassInfo());
    registerClass(TfrxStyleItem::staticClassInfo());
}

} // namespace xmlreports
