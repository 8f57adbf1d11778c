#include "reports/output/Docking.h"

#include "platform/Registry.h"

#include <algorithm>

namespace reports::docking {

namespace {

// Across the dock: the coordinate and extent of a rectangle from the dock's
// start (top or left).
int acrossPos(const Dock &dock, const QRect &r) { return dock.horizontal() ? r.y() : r.x(); }
int acrossSize(const Dock &dock, const QRect &r) { return dock.horizontal() ? r.height() : r.width(); }
void setAcrossPos(const Dock &dock, QRect &r, int pos)
{
    if (dock.horizontal())
        r.moveTop(pos);
    else
        r.moveLeft(pos);
}
int alongPos(const Dock &dock, const QRect &r) { return dock.horizontal() ? r.x() : r.y(); }
int alongSize(const Dock &dock, const QRect &r) { return dock.horizontal() ? r.width() : r.height(); }

bool farSide(DockSide side) { return side == DockSide::Bottom || side == DockSide::Right; }

void setDepth(Dock &dock, int depth)
{
    QRect &b = dock.bounds;
    switch (dock.side) {
    case DockSide::Top: b.setHeight(depth); break;
    case DockSide::Left: b.setWidth(depth); break;
    // Bottom and right docks stay on the form's edge: they grow inwards.
    case DockSide::Bottom: b.setTop(b.bottom() + 1 - depth); break;
    case DockSide::Right: b.setLeft(b.right() + 1 - depth); break;
    }
}

} // namespace

void AdjustBounds(Dock &dock)
{
    if (dock.bars.empty()) {
        setDepth(dock, 1);
        return;
    }
    const int row = std::max(1, dock.rowSize);
    const bool far = farSide(dock.side);
    const int depth = dock.depth();
    int n = depth / row;
    // Rows no visible toolbar touches go; the toolbars beyond move back.
    for (int k = 0; k < n;) {
        const int line = far ? depth - k * row : k * row;
        bool touched = false;
        for (const Item &bar : dock.bars) {
            if (!bar.visible)
                continue;
            const int a = acrossPos(dock, bar.bounds), b = a + acrossSize(dock, bar.bounds);
            const int nearEdge = far ? b : a;
            if (nearEdge == line || (a < line && line < b)) {
                touched = true;
                break;
            }
        }
        if (touched) {
            ++k;
            continue;
        }
        for (Item &bar : dock.bars) {
            if (!bar.visible)
                continue;
            const int a = acrossPos(dock, bar.bounds), b = a + acrossSize(dock, bar.bounds);
            if (!far && a > line)
                setAcrossPos(dock, bar.bounds, a - row);
            else if (far && b < line)
                setAcrossPos(dock, bar.bounds, a + row);
        }
        --n;
    }
    int newDepth = n * row + 1;
    if (!far) {
        for (const Item &bar : dock.bars) {
            const int end = acrossPos(dock, bar.bounds) + acrossSize(dock, bar.bounds);
            if (bar.visible && end > newDepth) {
                newDepth = end + 1;
                break;
            }
        }
    } else {
        for (const Item &bar : dock.bars) {
            const int pos = acrossPos(dock, bar.bounds);
            if (bar.visible && pos < 0) {
                const int shift = 1 - pos;
                for (Item &other : dock.bars)
                    if (other.visible)
                        setAcrossPos(dock, other.bounds, acrossPos(dock, other.bounds) + shift);
                newDepth += shift;
                break;
            }
        }
        for (const Item &bar : dock.bars)
            if (bar.visible)
                newDepth = std::max(newDepth, acrossPos(dock, bar.bounds) + acrossSize(dock, bar.bounds));
    }
    setDepth(dock, newDepth);
}

MoveOutcome MoveTo(Dock &dock, int bar, int x, int y, bool canFloat)
{
    if (bar < 0 || bar >= static_cast<int>(dock.bars.size()))
        return MoveOutcome::Refused;
    const QRect old = dock.bars[static_cast<size_t>(bar)].bounds;
    const bool horizontal = dock.horizontal();
    // Along and across the dock.
    int along = horizontal ? x : y;
    const int across = horizontal ? y : x;
    const int size = alongSize(dock, old);
    const int thick = acrossSize(dock, old);
    const int room = dock.length();
    int correctedRounds = 0;
    for (int round = 0; round < 4; ++round) {
        // A round counts as corrected when any rule moved the toolbar, even
        // when a later rule of the round moved it back.
        bool corrected = false;
        auto set = [&](int value) {
            if (value != along) {
                along = value;
                corrected = true;
            }
        };
        if (along < -20 && canFloat)
            return MoveOutcome::Float;
        if (along < 0)
            set(0);
        if (along + size > room)
            set(room - size);
        for (int i = 0; i < static_cast<int>(dock.bars.size()); ++i) {
            const Item &other = dock.bars[static_cast<size_t>(i)];
            if (i == bar || !other.visible)
                continue;
            const int oa = acrossPos(dock, other.bounds), ob = oa + acrossSize(dock, other.bounds);
            if (!(oa < across + thick && across < ob))
                continue; // another row
            const int start = alongPos(dock, other.bounds), end = start + alongSize(dock, other.bounds);
            if (along >= start && along < end)
                set(end);
            else if (start > along && start < along + size)
                set(start - size);
        }
        if (!corrected)
            break;
        ++correctedRounds;
    }
    if (correctedRounds >= 2)
        return MoveOutcome::Refused;
    const int depthBefore = dock.depth();
    QRect &bounds = dock.bars[static_cast<size_t>(bar)].bounds;
    bounds.moveTopLeft(horizontal ? QPoint(along, across) : QPoint(across, along));
    const bool outside = across < 0 || across >= depthBefore;
    AdjustBounds(dock);
    if (outside && dock.depth() == depthBefore && canFloat)
        return MoveOutcome::Float;
    return MoveOutcome::Moved;
}

std::optional<DockTarget> TryDock(const std::vector<Dock> &docks, QPoint point, QSize barSize,
                                  TfrOrientation orientation)
{
    for (int i = 0; i < static_cast<int>(docks.size()); ++i) {
        const Dock &dock = docks[static_cast<size_t>(i)];
        const QRect &r = dock.bounds;
        // Edges included: the far edge is one past the last pixel.
        if (point.x() < r.left() || point.x() > r.left() + r.width() || point.y() < r.top() ||
            point.y() > r.top() + r.height())
            continue;
        if (orientation == TfrOrientation::toHorzOnly && !dock.horizontal())
            return std::nullopt;
        if (orientation == TfrOrientation::toVertOnly && dock.horizontal())
            return std::nullopt;
        DockTarget target;
        target.dock = i;
        if (!dock.horizontal()) {
            const int x = dock.side == DockSide::Right ? 1 - barSize.height() : r.width() - 1;
            const int y = std::max(0, std::min(point.y() - r.top(), r.height() - barSize.height()));
            target.position = QPoint(x, y);
        } else {
            const int x = std::max(0, std::min(point.x() - r.left(), r.width() - barSize.width()));
            const int y = dock.side == DockSide::Bottom ? 1 - barSize.height() : r.height() - 1;
            target.position = QPoint(x, y);
        }
        return target;
    }
    return std::nullopt;
}

QPoint AddToDockPosition(const Dock &dock, QSize barSize)
{
    switch (dock.side) {
    case DockSide::Top: return {0, dock.bounds.height() - 1};
    case DockSide::Bottom: return {0, 1 - barSize.height()};
    case DockSide::Left: return {dock.bounds.width() - 1, 0};
    case DockSide::Right: return {1 - barSize.width(), 0};
    }
    return {};
}

QSize ArrangeControls(std::vector<BarControl> &controls, QSize barSize, bool vertical)
{
    if (controls.size() > static_cast<size_t>(MaxBarControls))
        controls.resize(MaxBarControls);
    // Along a horizontal toolbar by left edge, along a vertical one by top
    // edge; hidden controls keep their places in the order.
    std::vector<size_t> visible;
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i].visible)
            visible.push_back(i);
    std::vector<BarControl> sorted;
    for (size_t i : visible)
        sorted.push_back(controls[i]);
    std::stable_sort(sorted.begin(), sorted.end(), [vertical](const BarControl &a, const BarControl &b) {
        return vertical ? a.bounds.top() < b.bounds.top() : a.bounds.left() < b.bounds.left();
    });
    for (size_t k = 0; k < visible.size(); ++k)
        controls[visible[k]] = sorted[k];

    QSize size = barSize;
    if (!vertical && size.width() < size.height())
        size.transpose();
    if (vertical && size.height() < size.width())
        size.transpose();
    for (BarControl &c : controls) {
        if (!c.visible)
            continue;
        const bool hadAxis = c.align != Align::None && c.align != Align::Client;
        const bool wasVertical = c.align == Align::Top || c.align == Align::Bottom;
        if (!vertical) {
            if (c.align != Align::Left && c.align != Align::Right)
                c.align = c.align == Align::Bottom ? Align::Right : Align::Left;
        } else {
            if (c.align != Align::Top && c.align != Align::Bottom)
                c.align = c.align == Align::Right ? Align::Bottom : Align::Top;
        }
        // Buttons and separators turn with the toolbar: a control aligned
        // left takes its former top as its left, and so on; it keeps its
        // length along the toolbar.
        if (hadAxis && wasVertical != vertical)
            c.bounds = QRect(c.bounds.y(), c.bounds.x(), c.bounds.height(), c.bounds.width());
    }
    if (vertical)
        size.setHeight(BarLength(controls, true));
    else
        size.setWidth(BarLength(controls, false));
    return size;
}

int BarLength(const std::vector<BarControl> &controls, bool vertical)
{
    int length = 4;
    for (const BarControl &c : controls)
        if (c.visible)
            length += vertical ? c.bounds.height() : c.bounds.width();
    return length;
}

void AlignControls(std::vector<BarControl> &controls, const QRect &client)
{
    QRect room = client;
    const Align order[] = {Align::Top, Align::Bottom, Align::Left, Align::Right};
    for (Align side : order) {
        std::vector<BarControl *> row;
        for (BarControl &c : controls)
            if (c.visible && c.align == side)
                row.push_back(&c);
        // Near side first: top and left ones by their start, bottom and right
        // ones by their end, the outermost first.
        std::stable_sort(row.begin(), row.end(), [side](const BarControl *a, const BarControl *b) {
            switch (side) {
            case Align::Top: return a->bounds.top() < b->bounds.top();
            case Align::Bottom: return a->bounds.y() + a->bounds.height() > b->bounds.y() + b->bounds.height();
            case Align::Left: return a->bounds.left() < b->bounds.left();
            default: return a->bounds.x() + a->bounds.width() > b->bounds.x() + b->bounds.width();
            }
        });
        for (BarControl *c : row) {
            const int w = c->bounds.width(), h = c->bounds.height();
            switch (side) {
            case Align::Top:
                c->bounds = QRect(room.left(), room.top(), room.width(), h);
                room.setTop(room.top() + h);
                break;
            case Align::Bottom:
                c->bounds = QRect(room.left(), room.top() + room.height() - h, room.width(), h);
                room.setHeight(room.height() - h);
                break;
            case Align::Left:
                c->bounds = QRect(room.left(), room.top(), w, room.height());
                room.setLeft(room.left() + w);
                break;
            default:
                c->bounds = QRect(room.left() + room.width() - w, room.top(), w, room.height());
                room.setWidth(room.width() - w);
                break;
            }
        }
    }
}

namespace {

QString &registryRoot()
{
    static QString root = QStringLiteral("Software\\ZeraDuvozo");
    return root;
}

QString sectionKey(const QString &section) { return registryRoot() + QLatin1Char('\\') + section; }

// Values are written as the ini-style store of the platform wrote them (text)
// and read in either form.
std::optional<qint64> readNumber(const QString &key, const QString &name)
{
    using platform::Registry;
    std::optional<Registry::Value> v;
    try {
        v = Registry::instance().value(platform::RegRoot::CurrentUser, key, name);
    } catch (...) {
        return std::nullopt;
    }
    if (!v)
        return std::nullopt;
    if (const auto *n = std::get_if<quint32>(&*v))
        return static_cast<qint32>(*n);
    if (const auto *s = std::get_if<QString>(&*v)) {
        bool ok = false;
        const qint64 n = s->trimmed().toLongLong(&ok);
        if (ok)
            return n;
    }
    return std::nullopt;
}

int readInt(const QString &key, const QString &name, int fallback)
{
    const auto n = readNumber(key, name);
    return n && *n >= INT_MIN && *n <= INT_MAX ? static_cast<int>(*n) : fallback;
}

bool readBool(const QString &key, const QString &name, bool fallback)
{
    const auto n = readNumber(key, name);
    return n ? *n != 0 : fallback;
}

bool writeText(const QString &key, const QString &name, const QString &text)
{
    return platform::Registry::instance().writeString(platform::RegRoot::CurrentUser, key, name, text);
}
bool writeInt(const QString &key, const QString &name, int n) { return writeText(key, name, QString::number(n)); }
bool writeBool(const QString &key, const QString &name, bool b) { return writeInt(key, name, b ? 1 : 0); }

} // namespace

QString RegistryRoot() { return registryRoot(); }
void SetRegistryRoot(const QString &root) { registryRoot() = root; }

bool SaveToolbarSettings(const QString &name, const ToolbarPlacement &p)
{
    const QString key = sectionKey(QStringLiteral("ToolBar\\") + name);
    bool ok = writeBool(key, QStringLiteral("isFloat"), p.floating);
    ok = writeBool(key, QStringLiteral("isVisible"), p.visible) && ok;
    ok = writeInt(key, QStringLiteral("XPosition"), p.bounds.x()) && ok;
    ok = writeInt(key, QStringLiteral("YPosition"), p.bounds.y()) && ok;
    ok = writeInt(key, QStringLiteral("Width"), p.bounds.width()) && ok;
    ok = writeInt(key, QStringLiteral("Height"), p.bounds.height()) && ok;
    if (!p.floating)
        ok = writeText(key, QStringLiteral("DockName"), p.dockName) && ok;
    return ok;
}

ToolbarPlacement RestoreToolbarSettings(const QString &name, const ToolbarPlacement &current,
                                        const std::function<bool(const QString &)> &isDock)
{
    const QString key = sectionKey(QStringLiteral("ToolBar\\") + name);
    ToolbarPlacement p = current;
    const int x = readInt(key, QStringLiteral("XPosition"), current.bounds.x());
    const int y = readInt(key, QStringLiteral("YPosition"), current.bounds.y());
    const int w = readInt(key, QStringLiteral("Width"), current.bounds.width());
    const int h = readInt(key, QStringLiteral("Height"), current.bounds.height());
    p.bounds = QRect(x, y, w, h);
    p.floating = readBool(key, QStringLiteral("isFloat"), false);
    if (!p.floating) {
        std::optional<QString> dockName;
        try {
            dockName = platform::Registry::instance().readString(platform::RegRoot::CurrentUser, key,
                                                                 QStringLiteral("DockName"));
        } catch (const platform::RegistryError &) {
        }
        // A name that is not a dock (a tampered file) keeps the current dock.
        if (dockName && !dockName->isEmpty() && isDock && isDock(*dockName))
            p.dockName = *dockName;
    }
    p.visible = readBool(key, QStringLiteral("isVisible"), true);
    return p;
}

bool SaveFormSettings(const QString &className, const FormPlacement &p)
{
    const QString key = sectionKey(QStringLiteral("Form\\") + className);
    bool ok = writeInt(key, QStringLiteral("XPosition"), p.bounds.x());
    ok = writeInt(key, QStringLiteral("YPosition"), p.bounds.y()) && ok;
    ok = writeInt(key, QStringLiteral("Width"), p.bounds.width()) && ok;
    ok = writeInt(key, QStringLiteral("Height"), p.bounds.height()) && ok;
    ok = writeBool(key, QStringLiteral("Maximized"), p.maximized) && ok;
    return ok;
}

FormPlacement RestoreFormSettings(const QString &className, const QRect &current)
{
    const QString key = sectionKey(QStringLiteral("Form\\") + className);
    FormPlacement p;
    p.maximized = readBool(key, QStringLiteral("Maximized"), true);
    p.bounds = QRect(readInt(key, QStringLiteral("XPosition"), current.x()),
                     readInt(key, QStringLiteral("YPosition"), current.y()),
                     readInt(key, QStringLiteral("Width"), current.width()),
                     readInt(key, QStringLiteral("Height"), current.height()));
    return p;
}

bool ReadBoolSetting(const QString &section, const QString &name, bool fallback)
{
    return readBool(sectionKey(section), name, fallback);
}

} // namespace reports::docking
