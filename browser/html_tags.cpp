#include "browser/html_tags.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace html {
namespace {

struct NameEntry {
  const char* name;
  Tag tag;
};

#define QV_TAG_ENTRY(name) {#name, kTag_##name},
constexpr NameEntry kUnsortedNames[] = {QV_HTML_TAGS(QV_TAG_ENTRY)};
#undef QV_TAG_ENTRY
constexpr size_t kNameCount = sizeof(kUnsortedNames) / sizeof(kUnsortedNames[0]);

std::string_view EntryName(const NameEntry& e) {
  std::string_view n = e.name;
  return n == "template_" ? std::string_view("template") : n;
}

const std::array<NameEntry, kNameCount>& SortedNames() {
  static const std::array<NameEntry, kNameCount> sorted = [] {
    std::array<NameEntry, kNameCount> a;
    std::copy(std::begin(kUnsortedNames), std::end(kUnsortedNames), a.begin());
    std::sort(a.begin(), a.end(), [](const NameEntry& x, const NameEntry& y) { return EntryName(x) < EntryName(y); });
    return a;
  }();
  return sorted;
}

int Compare(std::u16string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned x = a[i], y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::array<uint16_t, kTagFirstCustom> BuildFlags() {
  std::array<uint16_t, kTagFirstCustom> f{};
  auto set = [&f](std::initializer_list<Tag> tags, uint16_t flags) {
    for (Tag t : tags) f[t] |= flags;
  };
  set({kTag_area, kTag_base, kTag_basefont, kTag_bgsound, kTag_br, kTag_col, kTag_embed, kTag_frame,
       kTag_hr, kTag_img, kTag_input, kTag_keygen, kTag_link, kTag_meta, kTag_param, kTag_source,
       kTag_track, kTag_wbr},
      kVoid);
  set({kTag_address, kTag_article, kTag_aside, kTag_blockquote, kTag_center, kTag_details, kTag_dialog,
       kTag_dir, kTag_div, kTag_dl, kTag_fieldset, kTag_figcaption, kTag_figure, kTag_footer, kTag_form,
       kTag_h1, kTag_h2, kTag_h3, kTag_h4, kTag_h5, kTag_h6, kTag_header, kTag_hgroup, kTag_hr,
       kTag_main, kTag_menu, kTag_nav, kTag_ol, kTag_p, kTag_pre, kTag_listing, kTag_section,
       kTag_summary, kTag_table, kTag_ul, kTag_xmp, kTag_plaintext, kTag_li, kTag_dd, kTag_dt},
      kClosesP | kBlockLevel | kSpecial);
  set({kTag_a, kTag_b, kTag_big, kTag_code, kTag_em, kTag_font, kTag_i, kTag_nobr, kTag_s, kTag_small,
       kTag_strike, kTag_strong, kTag_tt, kTag_u},
      kFormatting);
  set({kTagRoot, kTag_html, kTag_table, kTag_td, kTag_th, kTag_caption, kTag_marquee, kTag_object,
       kTag_template_},
      kScopeBoundary | kSpecial);
  set({kTag_script, kTag_style, kTag_xmp, kTag_iframe, kTag_noembed, kTag_noframes}, kRawText);
  set({kTag_title, kTag_textarea}, kRawText | kEscapableRaw);
  set({kTag_head, kTag_title, kTag_meta, kTag_link, kTag_base, kTag_style, kTag_script, kTag_template_,
       kTag_iframe, kTag_noembed, kTag_noframes, kTag_area, kTag_col, kTag_colgroup, kTag_embed,
       kTag_frame, kTag_frameset, kTag_param, kTag_source, kTag_track, kTag_input, kTag_select,
       kTag_keygen, kTag_textarea, kTag_svg, kTag_math, kTag_bgsound, kTag_basefont},
      kHidden);
  set({kTag_body, kTag_html, kTag_legend, kTag_caption, kTag_tbody, kTag_thead, kTag_tfoot, kTag_tr,
       kTag_td, kTag_th, kTag_colgroup, kTag_head, kTag_frameset, kTag_select, kTag_textarea, kTag_button,
       kTag_iframe, kTag_img, kTag_input, kTag_noscript, kTag_object, kTag_script, kTag_style,
       kTag_template_, kTag_title, kTag_wbr, kTag_br, kTag_embed, kTag_area, kTag_base, kTag_link,
       kTag_meta, kTag_param, kTag_source, kTag_track, kTag_frame, kTag_marquee},
      kSpecial);
  set({kTag_table, kTag_tbody, kTag_thead, kTag_tfoot, kTag_tr}, kTableContext);
  return f;
}

}  // namespace

Tag LookupTag(std::u16string_view lowerName) {
  const auto& names = SortedNames();
  size_t lo = 0, hi = names.size();
  while (lo < hi) {
    size_t mid = (lo + hi) / 2;
    int c = Compare(lowerName, EntryName(names[mid]));
    if (c == 0) return names[mid].tag;
    if (c < 0) hi = mid; else lo = mid + 1;
  }
  return kTagFirstCustom;
}

uint16_t TagFlags(uint16_t tag) {
  static const std::array<uint16_t, kTagFirstCustom> flags = BuildFlags();
  return tag < kTagFirstCustom ? flags[tag] : 0;
}

const char* TagName(uint16_t tag) {
  for (const NameEntry& e : kUnsortedNames) {
    if (e.tag == tag) return std::strcmp(e.name, "template_") == 0 ? "template" : e.name;
  }
  return "";
}

}  // namespace html
