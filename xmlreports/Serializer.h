#pragma once
// Report objects to XML elements and back through the published-property
// tables: the element is the class name, the attributes the published
// properties (sub-objects as "Font.Name", string lists as "X.Text", text
// objects' text as UTF-8 "Text", defined properties as hex "PropData"),
// the children the child objects. This is the ".fr3" template form.
// Reading gathers per-attribute errors in a sorted list without duplicates
// and resolves references by name after the whole tree.
//
// Text: attribute bytes are Windows-1251, except "Text" and the short key
// "u" of text objects, which are UTF-8.

#include "platform/classlib/Classes.h"
#include "platform/classlib/Filer.h"
#include "xmlreports/Component.h"
#include "xmlreports/XmlDocument.h"

#include <QByteArray>
#include <QStringList>

#include <memory>
#include <vector>

namespace xmlreports {

using platform::classlib::PropInfo;
using platform::classlib::TCollection;
using platform::classlib::TCollectionItem;
using platform::classlib::TObject;

class TfrxXMLSerializer {
public:
    // stream: the source or target; none for single objects.
    explicit TfrxXMLSerializer(TStream *stream = nullptr);
    ~TfrxXMLSerializer();
    TfrxXMLSerializer(const TfrxXMLSerializer &) = delete;
    TfrxXMLSerializer &operator=(const TfrxXMLSerializer &) = delete;

    TfrxComponent *Owner = nullptr; // the root component references resolve against
    bool SerializeDefaultValues = false;
    // Sorted, each line once.
    QStringList Errors() const;
    void AddError(const QString &line);

    // Writing.
    void SaveObjectTree(TfrxComponent *object, bool withChildren = true, TfrxXMLItem *element = nullptr);
    void ObjectToElement(TfrxXMLItem &element, TfrxComponent *object, bool withChildren);
    QByteArray ObjectToAttributes(TPersistent *object, const QByteArray &prefix = QByteArray());
    QByteArray ObjectToTagText(TfrxComponent *object);
    void WriteObjectTag(TfrxComponent *object);

    // Reading.
    void LoadObjectTree(TfrxComponent *object, TfrxXMLItem *element = nullptr, bool updateExisting = false);
    void ElementToObject(TfrxXMLItem &element, TfrxComponent *parent, TfrxComponent *rootObject = nullptr,
                         bool updateExisting = false);
    void AttributesToObject(const QByteArray &text, TPersistent *object);
    void ApplyAttribute(const QByteArray &name, const QByteArray &value, TPersistent *object);
    // A new object from "ClassName attributes" with the root as parent;
    // none for an empty text or an unknown class.
    TfrxComponent *ObjectFromTagText(TfrxComponent *root, const QByteArray &text);
    void AttributesToCollectionItem(TfrxComponent *root, TCollectionItem *item, const QByteArray &text);
    void ResolveReferences();
    void NotifyLoaded();

private:
    void applyPropData(const QByteArray &hex, TPersistent *object);
    void applyValue(TPersistent *object, const PropInfo &property, const QByteArray &value);

    struct Fixup {
        TObject *object;
        const PropInfo *property;
        QString name;
    };
    TStream *stream_;
    platform::classlib::TStringList errors_;
    std::vector<Fixup> fixups_;
    std::vector<TfrxComponent *> read_;
    platform::classlib::TMemoryStream data_;
    std::unique_ptr<platform::classlib::TReader> reader_;
};

// References between objects by name: the plain name for objects of the
// same report or of the report's owner; the form's name, a point and the
// name for objects on a registered form or data module; empty otherwise.
QString ComponentReferenceName(TComponent *report, TComponent *component);
// "Name", "Form.Name" or "Form.Module.Name"; ClassError "Missing " + name
// when the lookup fails on the way.
TComponent *FindReferencedComponent(TComponent *root, const QString &name);
// The named top-level components (forms, data modules) of "Form.Name".
void RegisterGlobalComponent(TComponent *component);
void UnregisterGlobalComponent(TComponent *component);

// A report's collection inside its PropData: while the report is written
// by the serializer, a list of lists each holding the item's attribute
// text; otherwise the class library's collection form.
void WriteReportCollection(const TCollection &collection, platform::classlib::TWriter &writer,
                           TfrxComponent *report);
// Either form; the class library's own has its old strings decoded (code 1
// and c stand for c + 128).
void ReadReportCollection(TCollection &collection, platform::classlib::TReader &reader, TfrxComponent *report);
QString DecodeOldCollectionString(const QString &text);

} // namespace xmlreports
