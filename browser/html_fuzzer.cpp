// Feeds arbitrary bytes through the parser, the box builder, the layout, painting and hit testing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "browser/html_paint.h"
#include "browser/html_source.h"

namespace {

class Measurer : public html::TextMeasurer {
 public:
  html::FontMetrics Metrics(const html::FontKey& f) override { return {f.size * 4 / 5, f.size / 5, f.size * 5 / 4}; }
  int Advance(const html::FontKey& f, char32_t cp) override { return cp % 7 == 0 ? 0 : f.size / 2 + (cp & 3); }
};

class NullPainter : public html::Painter {
 public:
  void Fill(const html::Rect&, html::Color) override {}
  void DrawText(int32_t, int32_t, int32_t, html::Color, const char16_t* t, size_t n, const int32_t* a) override {
    for (size_t i = 0; i < n; ++i) sink += t[i] + a[i];
  }
  unsigned sink = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  // The first byte picks the width; the rest is the page, read as UTF-16 half of the time.
  int32_t width = 16 + data[0] * 4;
  std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  std::u16string page = (data[0] & 1) ? html::DecodeUtf16(bytes, false) : html::DecodeUtf8(bytes);
  Measurer m;
  html::FontCache fonts(m);
  html::BoxTree tree = html::BuildPage(page);
  html::PageLayout layout = html::LayOutPage(tree, fonts, width);
  NullPainter painter;
  html::Selection sel;
  sel.start = static_cast<uint32_t>(tree.text.size() / 3);
  sel.end = static_cast<uint32_t>(tree.text.size() / 2);
  for (int32_t top = 0; top < layout.height && top < 4000; top += 300) {
    html::PaintPage(layout, tree, fonts, painter, {0, top, width, 300}, 0, -top, sel);
  }
  html::Hit hit = html::HitTest(layout, tree, fonts, width / 2, layout.height / 2);
  if (hit.offset > tree.text.size()) __builtin_trap();
  uint32_t ws, we;
  html::WordAt(tree, hit.offset, ws, we);
  (void)html::ExportText(tree.text);
  (void)html::ParseAddress(page.substr(0, 256));
  (void)html::DetectCodePage(bytes);
  return 0;
}
