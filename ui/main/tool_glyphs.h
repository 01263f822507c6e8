#pragma once
// The tool bar's glyphs, drawn at run time: each has a normal and a disabled image.
#include <QIcon>

namespace tolvarine {

enum class Glyph { Globe, Search, Stop, Resume, Save, Create, Progress, Merge, About, Exit };

QIcon ToolGlyph(Glyph glyph);

}  // namespace tolvarine
