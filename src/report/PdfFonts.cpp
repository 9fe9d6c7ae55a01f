// report/PdfFonts.cpp - ReportFonts (report/PdfLayout.h). Where the program
// ships its font, fontconfig is given a configuration of its own that knows
// that folder alone, with the system configuration's one rule the report
// depends on: a bold face drawn from the regular one, as WenQuanYi Micro Hei
// has none. The layout then comes out as on Linux, glyph for glyph.
#include <fontconfig/fontconfig.h>

#include <mutex>

#include "platform/Files.h"
#include "platform/ProgramPlaces.h"
#include "platform/Utf8Paths.h"
#include "report/PdfLayout.h"
#include "report/PdfReport.h"

namespace fc::report::pdf {

namespace {

// fontconfig's own rule for synthetic bold (its 90-synthetic.conf).
constexpr const char* kSyntheticBold = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <match target="font">
    <test name="weight" compare="less_eq"><const>medium</const></test>
    <test target="pattern" name="weight" compare="more_eq"><const>bold</const></test>
    <edit name="embolden" mode="assign"><bool>true</bool></edit>
    <edit name="weight" mode="assign"><const>bold</const></edit>
  </match>
</fontconfig>)";

// Adds each font file in `dir` to `config`, file by file: a folder would be
// cached, and the program writes nothing beside itself.
void AddFonts(FcConfig* config, const std::filesystem::path& dir) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = platform::NarrowPathOf(entry.path());
    if (!name.empty() && entry.is_regular_file(ec))
      FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(name.c_str()));
  }
}

// Makes fontconfig's current configuration the shipped fonts alone; empty,
// or what went wrong.
std::string UseShippedFonts(const std::filesystem::path& dir) {
  const std::string failure = "找不到PDF报告所用的字体（" + platform::Utf8Of(dir) + "），请重新安装本软件";
  FcConfig* config = FcConfigCreate();
  if (!config) return failure;
  bool usable = FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kSyntheticBold), FcTrue);
  if (usable) AddFonts(config, dir);
  const FcFontSet* fonts = FcConfigGetFonts(config, FcSetApplication);
  usable = usable && fonts && fonts->nfont > 0 && FcConfigSetCurrent(config);
  FcConfigDestroy(config);  // the current configuration holds its own reference
  return usable ? std::string() : failure;
}

}  // namespace

FontMap ReportFonts(std::string& error) {
  const std::filesystem::path shipped = platform::ShippedFontDir();
  if (shipped.empty()) {
    return FontMap(PANGO_FONT_MAP(g_object_ref(pango_cairo_font_map_get_default())), g_object_unref);
  }
  // Tried again after a failure: the fonts may have been put back meanwhile.
  static std::mutex mutex;
  static bool ready = false;
  {
    const std::lock_guard lock(mutex);
    if (!ready) {
      const std::string failure = UseShippedFonts(shipped);
      if (!failure.empty()) {
        error = failure;
        return FontMap(nullptr, g_object_unref);
      }
      ready = true;
    }
  }
  FontMap fonts(pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT), g_object_unref);
  if (!fonts) error = kNoPdfReport;  // a Pango built without FreeType
  return fonts;
}

}  // namespace fc::report::pdf
