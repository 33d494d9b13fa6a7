// The drawing objects a metafile creates (pens, brushes, fonts) and the
// table it keeps them in until a record selects or deletes them.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <variant>

namespace platform {

struct MetafilePen {
    std::uint32_t style = 0; // line style in the low four bits, end cap and join above
    double width = 0;        // in logical units; 0 is one pixel whatever the mapping
    QColor color = Qt::black;
};

struct MetafileBrush {
    std::uint32_t style = 0; // 0 solid, 1 none, 2 hatched, 3 and 5 pattern
    QColor color = Qt::white;
    std::uint32_t hatch = 0; // the hatch's direction, for hatched brushes
    QImage pattern;          // for pattern brushes
};

struct MetafileFont {
    QString face;          // empty for the default face
    double height = 0;     // negative: the letters' height; positive: the line's; 0 default
    int escapement = 0;    // the line's angle in tenths of a degree, counter-clockwise
    int weight = 400;      // 100 thin to 900 black
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

// Palettes, regions and the like take a slot in the table but draw nothing.
struct MetafileInert {};

using MetafileObject = std::variant<MetafileInert, MetafilePen, MetafileBrush, MetafileFont>;

// The object table: WMF records put each new object into the lowest free
// slot, EMF records name the slot; both select and delete by slot.
class ObjectTable {
public:
    // Tables hold at most this many objects: both formats count them in
    // 16 bits.
    static constexpr std::size_t kMaxObjects = 65'535;

    explicit ObjectTable(std::size_t capacity);

    // WMF: into the lowest free slot; false when the table is full.
    bool AddToLowestFree(MetafileObject object);
    // EMF: into the given slot; false when it is outside the table.
    bool Put(std::size_t index, MetafileObject object);
    // The object in a slot, or null for an empty or unknown slot.
    const MetafileObject* Get(std::size_t index) const;
    void Remove(std::size_t index);

private:
    std::size_t capacity_;                       // slots the file declared
    std::map<std::size_t, MetafileObject> live_; // the objects by slot
    std::size_t used_ = 0;                       // WMF: slots below this have been used
    std::set<std::size_t> holes_;                // WMF: empty slots below used_
};

} // namespace platform
