#include "xmlreports/Serializer.h"

#include "platform/NumberFormat.h"
#include "platform/TextCodec.h"
#include "platform/classlib/Types.h"
#include "xmlreports/ReportUtils.h"
#include "xmlreports/Resources.h"

#include <algorithm>

namespace xmlreports {

using namespace platform::classlib;
using platform::Variant;

namespace {

QByteArray cp(const QString &text)
{
    return platform::toCp1251(text);
}

QString fromCp(QByteArrayView bytes)
{
    return platform::fromCp1251(bytes);
}

QByteArray withoutLastLineEnd(QByteArray text)
{
    if (text.endsWith("\r\n"))
        text.chop(2);
    return text;
}

QString withoutLastLineEnd(QString text)
{
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text;
}

qint64 parseInteger(const QByteArray &value)
{
    bool ok = false;
    const qint64 n = value.trimmed().toLongLong(&ok);
    if (!ok)
        throw platform::ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(fromCp(value)));
    return n;
}

std::vector<TComponent *> &globalComponents()
{
    static std::vector<TComponent *> list;
    return list;
}

TComponent *findGlobal(const QString &name)
{
    for (TComponent *c : globalComponents())
        if (c->Name().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    return nullptr;
}

} // namespace

TfrxXMLSerializer::TfrxXMLSerializer(TStream *stream) : stream_(stream)
{
    errors_.SetSorted(true);
    errors_.SetDuplicates(Duplicates::Ignore);
    reader_ = std::make_unique<TReader>(data_);
}

TfrxXMLSerializer::~TfrxXMLSerializer() = default;

QStringList TfrxXMLSerializer::Errors() const
{
    QStringList list;
    for (int i = 0; i < errors_.Count(); ++i)
        list << errors_.Get(i);
    return list;
}

void TfrxXMLSerializer::AddError(const QString &line)
{
    errors_.Add(line);
}

// ---------------------------------------------------------------- writing

void TfrxXMLSerializer::SaveObjectTree(TfrxComponent *object, bool withChildren, TfrxXMLItem *element)
{
    if (!Owner)
        Owner = object;
    if (element) {
        ObjectToElement(*element, object, withChildren);
        return;
    }
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    ObjectToElement(*doc.Root(), object, withChildren);
    if (stream_)
        doc.SaveToStream(*stream_);
}

void TfrxXMLSerializer::ObjectToElement(TfrxXMLItem &element, TfrxComponent *object, bool withChildren)
{
    element.Name = object->className().toLatin1();
    element.Text = "Name=\"" + cp(object->Name()) + '"' + ObjectToAttributes(object);
    if (withChildren)
        for (TfrxComponent *child : object->Objects())
            ObjectToElement(*element.Add(), child, true);
}

QByteArray TfrxXMLSerializer::ObjectToAttributes(TPersistent *object, const QByteArray &prefix)
{
    auto *component = dynamic_cast<TfrxComponent *>(object);
    struct WritingMark {
        TfrxComponent *c;
        ~WritingMark()
        {
            if (c)
                c->SetSerializerWriting(false);
        }
    } mark{component};
    if (component)
        component->SetSerializerWriting(true);

    QByteArray out;
    auto add = [&](const char *name, const QByteArray &value) {
        out += ' ' + prefix + name + "=\"" + value + '"';
    };
    for (const PropInfo *p : object->classInfo().all()) {
        if (!p->isStored(*object))
            continue;
        switch (p->kind()) {
        case Kind::Integer:
        case Kind::Char:
        case Kind::WChar:
        case Kind::Enum:
        case Kind::Set:
        case Kind::Int64: {
            const Variant v = readProperty(*object, *p);
            qint64 ordinal = 0;
            if (p->kind() == Kind::Char || p->kind() == Kind::WChar) {
                const QString s = v.toString();
                ordinal = s.isEmpty() ? 0 : (p->kind() == Kind::Char ? platform::cp1251Byte(s[0]) : s[0].unicode());
            } else if (isBooleanType(*p->type)) {
                ordinal = v.toBool() ? 1 : 0;
            } else {
                ordinal = v.toInt64();
            }
            if (p->def && *p->def == ordinal && !SerializeDefaultValues)
                break;
            if (p->kind() == Kind::Enum)
                add(p->name, cp(enumName(*p->type, ordinal)));
            else
                add(p->name, QByteArray::number(ordinal));
            break;
        }
        case Kind::Float:
            add(p->name, cp(platform::floatToStr(readProperty(*object, *p).toDouble())));
            break;
        case Kind::String:
        case Kind::WString: {
            const QString s = readProperty(*object, *p).toString();
            if (!s.isEmpty() || SerializeDefaultValues)
                add(p->name, EscapeXMLText(cp(s)));
            break;
        }
        case Kind::Variant: {
            const Variant v = readProperty(*object, *p);
            QString s;
            if (!v.isNull() && !v.isEmpty()) {
                try {
                    s = v.toString();
                } catch (const std::exception &) {
                }
            }
            if (!s.isEmpty())
                add(p->name, EscapeXMLText(cp(s)));
            break;
        }
        case Kind::Class: {
            TObject *value = p->getObject ? p->getObject(*object) : nullptr;
            const ClassInfo &cls = p->type->classInfo ? p->type->classInfo() : TObject::staticClassInfo();
            if (cls.inheritsFrom(TComponent::staticClassInfo())) {
                if (value)
                    add(p->name, cp(ComponentReferenceName(Owner, static_cast<TComponent *>(value))));
            } else if (cls.inheritsFrom(TStrings::staticClassInfo())) {
                const QString text = value ? static_cast<TStrings *>(value)->Text() : QString();
                out += ' ' + prefix + p->name + ".Text=\"" + EscapeXMLText(cp(withoutLastLineEnd(text))) + '"';
            } else if (cls.inheritsFrom(TWideStrings::staticClassInfo())) {
                // Not written: a text object's lines go in its Text.
            } else if (value && value->inheritsFrom(TPersistent::staticClassInfo())) {
                out += ObjectToAttributes(static_cast<TPersistent *>(value), prefix + p->name + '.');
            }
            break;
        }
        default:
            break;
        }
    }
    if (component && component->TextLines())
        out += " Text=\"" +
               EscapeXMLText(withoutLastLineEnd(component->TextLines()->Text()).toUtf8()) + '"';

    TMemoryStream defined;
    TWriter writer(defined);
    writer.SetRoot(Owner);
    object->DefineProperties(writer);
    if (defined.Size() > 0)
        out += ' ' + prefix + "PropData=\"" + StreamToHex(defined) + '"';
    return out;
}

QByteArray TfrxXMLSerializer::ObjectToTagText(TfrxComponent *object)
{
    return object->className().toLatin1() + ObjectToAttributes(object);
}

void TfrxXMLSerializer::WriteObjectTag(TfrxComponent *object)
{
    if (stream_)
        stream_->WriteBytes('<' + ObjectToTagText(object) + "/>");
}

// ---------------------------------------------------------------- reading

void TfrxXMLSerializer::LoadObjectTree(TfrxComponent *object, TfrxXMLItem *element, bool updateExisting)
{
    if (!Owner)
        Owner = object;
    TfrxXMLDocument doc;
    if (!element) {
        if (stream_)
            doc.LoadFromStream(*stream_);
        element = doc.Root();
    }
    reader_->SetRoot(Owner);
    ElementToObject(*element, nullptr, object, updateExisting);
    ResolveReferences();
    NotifyLoaded();
}

void TfrxXMLSerializer::ElementToObject(TfrxXMLItem &element, TfrxComponent *parent, TfrxComponent *rootObject,
                                        bool updateExisting)
{
    const ClassInfo *cls = findClass(fromCp(element.Name));
    if (!cls || !cls->inheritsFrom(TfrxComponent::staticClassInfo()) || (!parent && !rootObject && !cls->create())) {
        AddError(GetReportResources().Get(QStringLiteral("xrCantFindClass")) + u' ' + fromCp(element.Name));
        return;
    }
    TfrxComponent *object = nullptr;
    if (!parent) {
        object = rootObject;
    } else if (updateExisting) {
        // An element naming no object of the report is skipped whole.
        TComponent *found = Owner ? Owner->FindComponent(fromCp(element.Prop("Name"))) : nullptr;
        object = dynamic_cast<TfrxComponent *>(found);
        if (!object)
            return;
    } else {
        if (!cls->create()) {
            AddError(GetReportResources().Get(QStringLiteral("xrCantFindClass")) + u' ' + fromCp(element.Name));
            return;
        }
        object = static_cast<TfrxComponent *>(cls->create()(parent));
    }
    if (!object)
        return;
    object->SetSerializerLoading(true);
    AttributesToObject(element.Text, object);
    if (std::find(read_.begin(), read_.end(), object) == read_.end())
        read_.push_back(object);
    for (int i = 0; i < element.Count(); ++i)
        ElementToObject(*element.Items(i), object, nullptr, updateExisting);
}

void TfrxXMLSerializer::AttributesToObject(const QByteArray &text, TPersistent *object)
{
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype q1 = text.indexOf('"', at);
        if (q1 < 0)
            break;
        QByteArray name = text.mid(at, q1 - at).trimmed();
        if (name.endsWith('='))
            name.chop(1);
        name = name.trimmed().toLower();
        if (name.isEmpty())
            break;
        qsizetype q2 = text.indexOf('"', q1 + 1);
        if (q2 < 0)
            q2 = text.size();
        const QByteArray value = text.mid(q1 + 1, q2 - q1 - 1);
        try {
            ApplyAttribute(name, value, object);
        } catch (const std::exception &e) {
            QString message = QString::fromUtf8(e.what());
            AddError(message);
        }
        at = q2 + 2;
    }
}

void TfrxXMLSerializer::ApplyAttribute(const QByteArray &lowerName, const QByteArray &value, TPersistent *object)
{
    QByteArray name = lowerName;
    auto *component = dynamic_cast<TfrxComponent *>(object);
    if (name.size() == 1) {
        switch (name[0]) {
        case 'l': name = "left"; break;
        case 't': name = "top"; break;
        case 'w': name = "width"; break;
        case 'h': name = "height"; break;
        case 'u':
            if (component && component->TextLines())
                component->TextLines()->SetText(QString::fromUtf8(UnescapeXMLText(value)));
            return;
        case 'x':
            if (component && component->TextLines())
                component->TextLines()->SetText(fromCp(UnescapeXMLText(value)));
            return;
        default:
            break;
        }
    } else {
        while (name.contains('.')) {
            const qsizetype dot = name.indexOf('.');
            const PropInfo *p = object->classInfo().find(QString::fromLatin1(name.left(dot)));
            if (!p || p->kind() != Kind::Class || !p->getObject)
                return;
            TObject *sub = p->getObject(*object);
            if (!sub || !sub->inheritsFrom(TPersistent::staticClassInfo()))
                return;
            object = static_cast<TPersistent *>(sub);
            name = name.mid(dot + 1);
        }
        component = dynamic_cast<TfrxComponent *>(object);
        if (name == "text") {
            if (auto *list = dynamic_cast<TStrings *>(object)) {
                list->SetText(fromCp(UnescapeXMLText(value)));
                return;
            }
            if (auto *wide = dynamic_cast<TWideStrings *>(object)) {
                wide->SetText(fromCp(UnescapeXMLText(value)));
                return;
            }
        }
        if (name == "propdata") {
            applyPropData(value, object);
            return;
        }
        if (name == "text" && component && component->TextLines()) {
            component->TextLines()->SetText(QString::fromUtf8(UnescapeXMLText(value)));
            return;
        }
    }
    const PropInfo *p = object->classInfo().find(QString::fromLatin1(name));
    if (!p)
        return;
    applyValue(object, *p, value);
}

void TfrxXMLSerializer::applyValue(TPersistent *object, const PropInfo &p, const QByteArray &value)
{
    switch (p.kind()) {
    case Kind::Integer:
    case Kind::Set:
    case Kind::Int64:
        writeProperty(*object, p, Variant(parseInteger(value)));
        break;
    case Kind::Char:
        writeProperty(*object, p, Variant(fromCp(QByteArray(1, char(parseInteger(value))))));
        break;
    case Kind::WChar:
        writeProperty(*object, p, Variant(QString(QChar(char16_t(parseInteger(value))))));
        break;
    case Kind::Enum: {
        bool ok = false;
        int ordinal = value.trimmed().toInt(&ok);
        if (!ok) {
            ordinal = enumValue(*p.type, fromCp(value).trimmed());
            if (ordinal < 0)
                throw platform::ConvertError(
                    QStringLiteral("'%1' is not a valid %2 value").arg(fromCp(value), QString::fromLatin1(p.type->name)));
        }
        // A number outside the type's names is refused: the enumeration
        // member would hold a value of no element.
        if (!isBooleanType(*p.type) && !p.type->enumNames.empty() &&
            (ordinal < 0 || ordinal >= static_cast<int>(p.type->enumNames.size())))
            throw platform::ConvertError(
                QStringLiteral("'%1' is not a valid %2 value").arg(fromCp(value), QString::fromLatin1(p.type->name)));
        if (isBooleanType(*p.type))
            writeProperty(*object, p, Variant(ordinal != 0));
        else
            writeProperty(*object, p, Variant(ordinal));
        break;
    }
    case Kind::Float:
        writeProperty(*object, p, Variant(ParseReportFloat(fromCp(value))));
        break;
    case Kind::String:
    case Kind::WString:
    case Kind::Variant:
        writeProperty(*object, p, Variant(fromCp(UnescapeXMLText(value))));
        break;
    case Kind::Class:
        if (p.setObject)
            fixups_.push_back({object, &p, fromCp(UnescapeXMLText(value))});
        break;
    default:
        break;
    }
}

void TfrxXMLSerializer::applyPropData(const QByteArray &hex, TPersistent *object)
{
    data_.Clear();
    HexToStream(hex, data_);
    data_.SetPosition(0);
    reader_->SetRoot(Owner);
    try {
        while (data_.Position() < data_.Size())
            reader_->ReadProperty(*object);
    } catch (const std::exception &) {
        // Undecodable property data is dropped silently.
    }
}

TfrxComponent *TfrxXMLSerializer::ObjectFromTagText(TfrxComponent *root, const QByteArray &text)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return nullptr;
    const qsizetype space = trimmed.indexOf(' ');
    const QByteArray className = space < 0 ? trimmed : trimmed.left(space);
    const ClassInfo *cls = findClass(fromCp(className));
    if (!cls || !cls->create() || !cls->inheritsFrom(TfrxComponent::staticClassInfo())) {
        AddError(GetReportResources().Get(QStringLiteral("xrCantFindClass")) + u' ' + fromCp(className));
        return nullptr;
    }
    if (!Owner)
        Owner = root;
    auto *object = static_cast<TfrxComponent *>(cls->create()(root));
    reader_->SetRoot(Owner);
    object->SetSerializerLoading(true);
    try {
        if (space >= 0)
            AttributesToObject(trimmed.mid(space + 1), object);
    } catch (...) {
        ResolveReferences();
        object->SetSerializerLoading(false);
        throw;
    }
    ResolveReferences();
    object->SetSerializerLoading(false);
    if (!object->IsReport())
        object->Loaded();
    return object;
}

void TfrxXMLSerializer::AttributesToCollectionItem(TfrxComponent *root, TCollectionItem *item, const QByteArray &text)
{
    if (!Owner)
        Owner = root;
    AttributesToObject(text, item);
    ResolveReferences();
}

void TfrxXMLSerializer::ResolveReferences()
{
    for (const Fixup &f : fixups_) {
        TComponent *found = Owner ? static_cast<TComponent *>(Owner->FindObject(f.name)) : nullptr;
        if (!found) {
            try {
                found = FindReferencedComponent(Owner, f.name);
            } catch (const std::exception &) {
                found = nullptr;
            }
        }
        if (found) {
            try {
                f.property->setObject(*f.object, found);
            } catch (const std::exception &e) {
                AddError(QString::fromUtf8(e.what()));
            }
        }
    }
    fixups_.clear();
    reader_->FixupReferences();
}

void TfrxXMLSerializer::NotifyLoaded()
{
    for (TfrxComponent *object : read_) {
        object->SetSerializerLoading(false);
        if (!object->IsReport())
            object->Loaded();
    }
    read_.clear();
}

// ---------------------------------------------------------------- references

void RegisterGlobalComponent(TComponent *component)
{
    globalComponents().push_back(component);
}

void UnregisterGlobalComponent(TComponent *component)
{
    auto &list = globalComponents();
    list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

QString ComponentReferenceName(TComponent *report, TComponent *component)
{
    if (!component)
        return {};
    TComponent *owner = component->Owner();
    if (!owner || owner == report || (report && owner == report->Owner()))
        return component->Name();
    if (std::find(globalComponents().begin(), globalComponents().end(), owner) != globalComponents().end())
        return owner->Name() + u'.' + component->Name();
    return {};
}

TComponent *FindReferencedComponent(TComponent *root, const QString &name)
{
    try {
        const QStringList parts = name.split(u'.');
        if (parts.size() == 1) {
            TComponent *found = root ? root->FindComponent(name) : nullptr;
            auto *report = dynamic_cast<TfrxComponent *>(root);
            if (!found && report && report->IsReport() && root->Owner())
                found = root->Owner()->FindComponent(name);
            return found;
        }
        TComponent *global = findGlobal(parts[0]);
        if (!global)
            throw ClassError(name);
        TComponent *second = global->FindComponent(parts[1].left(255));
        if (parts.size() == 2)
            return second;
        if (!second)
            throw ClassError(name);
        return second->FindComponent(parts.mid(2).join(u'.').left(255));
    } catch (const std::exception &) {
        throw ClassError(QStringLiteral("Missing ") + name);
    }
}

// ---------------------------------------------------------------- collections

QString DecodeOldCollectionString(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QChar(1) && i + 1 < text.size()) {
            const int byte = platform::cp1251Byte(text[i + 1]);
            out += platform::fromCp1251(QByteArray(1, char((byte < 0 ? '?' : byte) + 128)));
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void WriteReportCollection(const TCollection &collection, TWriter &writer, TfrxComponent *report)
{
    if (report && report->SerializerWriting()) {
        TfrxXMLSerializer serializer;
        serializer.Owner = report;
        writer.WriteListBegin();
        for (int i = 0; i < collection.Count(); ++i) {
            writer.WriteListBegin();
            const QByteArray text = serializer.ObjectToAttributes(collection.Items(i));
            writer.WriteValue(ValueType::LString);
            const std::int32_t size = static_cast<std::int32_t>(text.size());
            const unsigned char length[4] = {static_cast<unsigned char>(size), static_cast<unsigned char>(size >> 8),
                                              static_cast<unsigned char>(size >> 16),
                                              static_cast<unsigned char>(size >> 24)};
            writer.Stream().WriteBuffer(length, 4);
            writer.Stream().WriteBuffer(text.constData(), text.size());
            writer.WriteListEnd();
        }
        writer.WriteListEnd();
        return;
    }
    writer.WriteCollection(&collection);
}

namespace {

void decodeStrings(TPersistent &object)
{
    for (const PropInfo *p : object.classInfo().all()) {
        if (!p->set)
            continue;
        if (p->kind() == Kind::String || p->kind() == Kind::WString) {
            writeProperty(object, *p, Variant(DecodeOldCollectionString(readProperty(object, *p).toString())));
        } else if (p->kind() == Kind::Variant) {
            const Variant v = readProperty(object, *p);
            if (v.isString())
                writeProperty(object, *p, Variant(DecodeOldCollectionString(v.toString())));
        }
    }
}

} // namespace

void ReadReportCollection(TCollection &collection, TReader &reader, TfrxComponent *report)
{
    if (reader.NextValue() == ValueType::Collection) {
        reader.ReadCollection(&collection);
        for (int i = 0; i < collection.Count(); ++i)
            decodeStrings(*collection.Items(i));
        return;
    }
    collection.Clear();
    reader.ReadListBegin();
    TfrxXMLSerializer *loading = report ? report->CurrentSerializer() : nullptr;
    while (!reader.EndOfList()) {
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            const QString text = reader.ReadString();
            TCollectionItem *item = collection.Add();
            if (loading) {
                loading->AttributesToObject(platform::toCp1251(text), item);
            } else {
                TfrxXMLSerializer serializer;
                serializer.AttributesToCollectionItem(report, item, platform::toCp1251(text));
            }
        }
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

} // namespace xmlreports
