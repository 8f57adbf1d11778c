// Objects through the clipboard: copy, paste, merge and split.

#include "mapdata/MapDataCore.h"
#include "mapdata/ObjectTextBlock.h"
#include "platform/gdi/Clipboard.h"
#include "platform/TextCodec.h"
#include "platform/db/Table.h"

void MapDataCore::setNewFigure(const std::vector<TShpParts> &parts)
{
    FNewObject.Points.clear();
    FNewObject.Parts.clear();
    for (const TShpParts &part : parts) {
        FNewObject.Parts.push_back(static_cast<std::int32_t>(FNewObject.Points.size()));
        for (const TShpPoint &p : part.Points) {
            TNewPoint np;
            np.Point.X = p.X;
            np.Point.Y = p.Y;
            FNewObject.Points.push_back(std::move(np));
        }
    }
}

void MapDataCore::clearSelection()
{
    if (engine())
        engine()->ClearSelection();
}

std::vector<TTxtValues> MapDataCore::attributeRow(int layer, int index) const
{
    // Only a table that could also be written is read, as for every other
    // use of a layer's rows.
    const QString path = existingFile(LayerTableName(layer));
    if (path.isEmpty() || mapdata::isReadOnlyFile(path))
        return {};
    std::vector<TTxtValues> row;
    try {
        platform::db::Table table;
        table.setDatabaseName(FWorkDir);
        table.setTableName(path);
        table.open();
        if (table.setRecNo(index + 1))
            for (int k = 0; k < table.fieldCount(); ++k) {
                const platform::db::Field &f = table.field(k);
                row.push_back(TTxtValues{f.fieldName(), f.asString()});
            }
        table.close();
    } catch (const platform::db::DbError &) {
        return {}; // a table that does not open gives no attributes
    }
    return row;
}

void MapDataCore::CopyObjectsToClipboard()
{
    objectblock::Writer block;
    int number = 0;
    for (const TSelObject &entry : selectionEntries()) {
        ++number;
        TShpObject shape;
        if (!readSelected(entry, shape) || shape.Parts.empty())
            continue;
        block.beginObject(number, shape.ShapeType, shape.Parts);
        const std::vector<TTxtValues> row = attributeRow(entry.Layer, entry.Index);
        if (!row.empty())
            block.fields(row);
        block.endObject();
    }
    // The clipboard carries 8-bit text in the code page of the files: what
    // the code page lacks arrives as "?" in every copy of the program alike.
    platform::clipboard().setText(platform::fromCp1251(platform::toCp1251(block.text())));
}

bool MapDataCore::readClipboardBlock(std::vector<objectblock::Object> &objects) const
{
    return objectblock::read(platform::clipboard().text(), objects);
}

void MapDataCore::PasteObjects(int layer)
{
    std::vector<objectblock::Object> objects;
    if (!readClipboardBlock(objects))
        return;
    clearSelection();
    for (const objectblock::Object &object : objects) {
        FNewObject.clearFigure();
        if (object.HasType)
            FNewObject.Kind = static_cast<Byte>(object.Type);
        if (object.HasFields)
            FNewObject.Values = object.Fields;
        const std::vector<TShpParts> parts = objectblock::pastedParts(object);
        if (!parts.empty()) {
            setNewFigure(parts);
            CommitNewObject(layer, false, true);
        }
    }
    FNewObject.clearFigure();
}

void MapDataCore::MergeObjects(int layer)
{
    std::vector<objectblock::Object> objects;
    if (!readClipboardBlock(objects))
        return;
    clearSelection();
    FNewObject.clearFigure();
    for (const objectblock::Object &object : objects)
        if (object.HasFields) {
            FNewObject.Values = object.Fields;
            break;
        }
    // The kind stays as it is; an object of no kind would be invisible in a
    // text/symbol layer, so it then takes the kind of the first object.
    if (FNewObject.Kind == 0 && !objects.empty() && objects.front().HasType)
        FNewObject.Kind = static_cast<Byte>(objects.front().Type);
    const std::vector<TShpParts> parts = objectblock::mergedParts(objects);
    if (!parts.empty()) {
        setNewFigure(parts);
        CommitNewObject(layer, false, true);
    }
    FNewObject.clearFigure();
}

void MapDataCore::SplitObjects(int layer)
{
    std::vector<objectblock::Object> objects;
    if (!readClipboardBlock(objects))
        return;
    clearSelection();
    std::vector<TTxtValues> values;   // kept for the objects after a "Fields=" section
    for (const objectblock::Object &object : objects) {
        if (object.HasFields)
            values = object.Fields;
        for (const TShpParts &part : objectblock::splitParts(object)) {
            FNewObject.clearFigure();
            if (object.HasType)
                FNewObject.Kind = static_cast<Byte>(object.Type);
            FNewObject.Values = values;
            setNewFigure({part});
            CommitNewObject(layer, false, true);
        }
    }
    FNewObject.clearFigure();
}
