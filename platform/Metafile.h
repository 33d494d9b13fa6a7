// Our metafile renderer: a WMF (with or without the placeable header) or an
// EMF drawn on a QPainter into an image of exactly the size asked for, the
// picture's frame filling it. Unknown records are skipped; a file that is
// not a metafile of that kind, or is broken, is a MetafileError, never a
// crash or an endless loop. Text needs a QGuiApplication; without one it is
// left out.
#pragma once

#include "platform/MetafileRecords.h"

#include <QImage>
#include <QSize>
#include <span>

namespace platform {

// Images larger than this are not drawn into: the same bound as for any
// other picture's pixels.
inline constexpr long long kMaxMetafileImagePixels = 64LL * 1024 * 1024;

QImage RenderWmf(std::span<const unsigned char> file, QSize size);
QImage RenderEmf(std::span<const unsigned char> file, QSize size);

} // namespace platform
