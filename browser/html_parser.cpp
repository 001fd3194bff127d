// Tree building with the recoveries browsers make: implied ends of p, li, dd, dt, td, th and tr,
// missing rows around cells, stray end tags ignored, misnested formatting reopened, content
// misplaced inside tables moved before the table.
#include <algorithm>
#include <unordered_map>

#include "browser/html_chars.h"
#include "browser/html_document.h"

namespace html {
namespace {

constexpr size_t kMaxDepth = 200;        // deeper elements are kept but not nested further
constexpr size_t kMaxReopened = 16;      // formatting elements waiting to be reopened
constexpr size_t kMaxCustomNames = 4096;

bool AllSpaces(std::u16string_view s) {
  return std::all_of(s.begin(), s.end(), [](char16_t c) { return IsHtmlSpace(c); });
}

bool AllowedInTable(uint16_t tag) {
  return tag == kTag_script || tag == kTag_style || tag == kTag_template_ || tag == kTag_input ||
         tag == kTag_form || tag == kTag_caption || tag == kTag_colgroup || tag == kTag_col ||
         tag == kTag_tbody || tag == kTag_thead || tag == kTag_tfoot || tag == kTag_tr ||
         tag == kTag_td || tag == kTag_th || tag == kTag_table;
}

class TreeBuilder {
 public:
  explicit TreeBuilder(Document& doc) : doc_(doc) {
    ended_.assign(doc_.nodes.size(), 0);
    body_ = NewElement(kTag_body);
    Append(0, body_);
    stack_ = {0, body_};
  }

  void Run(std::u16string_view html) {
    Tokenizer tokenizer(html);
    Token t;
    for (;;) {
      tokenizer.Next(t);
      switch (t.kind) {
        case Token::kEnd: return;
        case Token::kText: AddText(t.text); break;
        case Token::kStartTag: StartTag(t); break;
        case Token::kEndTag: EndTag(t); break;
      }
    }
  }

 private:
  uint16_t TagId(const std::u16string& name) {
    Tag known = LookupTag(name);
    if (known != kTagFirstCustom) return known;
    auto it = custom_.find(name);
    if (it != custom_.end()) return it->second;
    if (doc_.customNames.size() >= kMaxCustomNames) return kTagFirstCustom;
    uint16_t id = static_cast<uint16_t>(kTagFirstCustom + 1 + doc_.customNames.size());
    doc_.customNames.push_back(name);
    custom_.emplace(name, id);
    return id;
  }

  uint16_t TagAt(size_t stackIndex) const { return doc_.nodes[stack_[stackIndex]].tag; }
  uint16_t Current() const { return TagAt(stack_.size() - 1); }

  int32_t NewElement(uint16_t tag) {
    Node n;
    n.tag = tag;
    n.attrStart = static_cast<uint32_t>(doc_.attributes.size());
    doc_.nodes.push_back(n);
    ended_.push_back(0);
    return static_cast<int32_t>(doc_.nodes.size() - 1);
  }
  int32_t NewElement(uint16_t tag, const std::vector<Attribute>& attrs) {
    int32_t id = NewElement(tag);
    doc_.attributes.insert(doc_.attributes.end(), attrs.begin(), attrs.end());
    doc_.nodes[id].attrCount = static_cast<uint32_t>(attrs.size());
    return id;
  }
  int32_t Clone(int32_t original) {
    Node src = doc_.nodes[original];
    std::vector<Attribute> attrs(doc_.attributes.begin() + src.attrStart,
                                 doc_.attributes.begin() + src.attrStart + src.attrCount);
    return NewElement(src.tag, attrs);
  }

  void Append(int32_t parent, int32_t child) {
    Node& c = doc_.nodes[child];
    Node& p = doc_.nodes[parent];
    c.parent = parent;
    c.prev = p.last;
    c.next = -1;
    if (p.last >= 0) doc_.nodes[p.last].next = child; else p.first = child;
    p.last = child;
  }
  void InsertBefore(int32_t parent, int32_t child, int32_t ref) {
    Node& c = doc_.nodes[child];
    c.parent = parent;
    c.next = ref;
    c.prev = doc_.nodes[ref].prev;
    if (c.prev >= 0) doc_.nodes[c.prev].next = child; else doc_.nodes[parent].first = child;
    doc_.nodes[ref].prev = child;
  }

  int32_t LastTableIndex() const {
    for (size_t i = stack_.size(); i-- > 0;) {
      if (TagAt(i) == kTag_table) return static_cast<int32_t>(i);
    }
    return -1;
  }

  // Where new content goes: the current node, or before the table when the current node is a
  // table, row group or row (content that has no place there).
  void Place(int32_t node, uint16_t tag) {
    if (HasFlag(Current(), kTableContext) && !AllowedInTable(tag) && LastTableIndex() >= 0) {
      int32_t table = stack_[LastTableIndex()];
      InsertBefore(doc_.nodes[table].parent, node, table);
    } else {
      Append(stack_.back(), node);
    }
  }

  void Push(int32_t node, uint16_t tag) {
    if (stack_.size() < kMaxDepth || HasFlag(tag, kRawText)) stack_.push_back(node);
  }

  int32_t InsertElement(uint16_t tag, const std::vector<Attribute>& attrs, bool push) {
    int32_t node = NewElement(tag, attrs);
    Place(node, tag);
    if (push) Push(node, tag);
    return node;
  }

  void AppendText(std::u16string_view text) {
    int32_t parent = stack_.back();
    int32_t before = -1;
    if (HasFlag(Current(), kTableContext) && LastTableIndex() >= 0) {
      before = stack_[LastTableIndex()];
      parent = doc_.nodes[before].parent;
    }
    int32_t neighbour = before >= 0 ? doc_.nodes[before].prev : doc_.nodes[parent].last;
    if (neighbour >= 0) {
      Node& n = doc_.nodes[neighbour];
      if (n.tag == kTagText && n.textStart + n.textLength == doc_.chars.size()) {
        doc_.chars.append(text);
        n.textLength += static_cast<uint32_t>(text.size());
        return;
      }
    }
    Node n;
    n.tag = kTagText;
    n.textStart = static_cast<uint32_t>(doc_.chars.size());
    n.textLength = static_cast<uint32_t>(text.size());
    doc_.chars.append(text);
    doc_.nodes.push_back(n);
    ended_.push_back(0);
    int32_t id = static_cast<int32_t>(doc_.nodes.size() - 1);
    if (before >= 0) InsertBefore(parent, id, before); else Append(parent, id);
  }

  void AddText(std::u16string_view text) {
    if (skipNewline_) {
      skipNewline_ = false;
      if (!text.empty() && text.front() == '\n') text.remove_prefix(1);
    }
    if (text.empty()) return;
    if (HasFlag(Current(), kRawText)) {
      AppendText(text);
      return;
    }
    if (HasFlag(Current(), kTableContext) && AllSpaces(text)) return;
    ReconstructFormatting();
    AppendText(text);
  }

  void ReconstructFormatting() {
    std::vector<int32_t> pending;
    pending.swap(reopen_);
    for (int32_t original : pending) {
      uint16_t tag = doc_.nodes[original].tag;
      int32_t clone = Clone(original);
      Place(clone, tag);
      Push(clone, tag);
    }
  }

  // Index of the nearest open element matching `match`, or -1 when a scope boundary (or one of the
  // `extra` boundaries) comes first.
  template <typename Match>
  int32_t FindInScope(Match match, std::initializer_list<uint16_t> extra = {}) const {
    for (size_t i = stack_.size(); i-- > 1;) {
      uint16_t tag = TagAt(i);
      if (match(tag)) return static_cast<int32_t>(i);
      if (HasFlag(tag, kScopeBoundary)) return -1;
      for (uint16_t e : extra) {
        if (tag == e) return -1;
      }
    }
    return -1;
  }
  int32_t FindTagInScope(uint16_t tag, std::initializer_list<uint16_t> extra = {}) const {
    return FindInScope([tag](uint16_t t) { return t == tag; }, extra);
  }

  // Closes the element at `index` and everything opened after it. Formatting elements among those
  // are reopened before the next text when `reopen` is set.
  void PopTo(int32_t index, bool reopen) {
    if (index < 2) return;  // the document and body stay open
    for (size_t i = index + 1; reopen && i < stack_.size(); ++i) {
      int32_t node = stack_[i];
      if (HasFlag(doc_.nodes[node].tag, kFormatting) && !ended_[node] && reopen_.size() < kMaxReopened) {
        reopen_.push_back(node);
      }
    }
    stack_.resize(index);
    while (stack_.size() > 2 && ended_[stack_.back()]) stack_.pop_back();
  }

  void ClosePIfOpen() {
    int32_t p = FindTagInScope(kTag_p, {kTag_button});
    if (p >= 0) PopTo(p, true);
  }

  void ForgetReopen(uint16_t tag) {
    for (size_t i = reopen_.size(); i-- > 0;) {
      if (doc_.nodes[reopen_[i]].tag == tag) {
        reopen_.erase(reopen_.begin() + i);
        return;
      }
    }
  }

  // Pops everything above the nearest table, or above the nearest of `within` found before it.
  // False when no table is open.
  bool ClearToTable(std::initializer_list<uint16_t> within) {
    int32_t table = LastTableIndex();
    if (table < 0) return false;
    int32_t keep = table;
    for (size_t i = stack_.size(); i-- > static_cast<size_t>(table) + 1;) {
      uint16_t tag = TagAt(i);
      if (std::find(within.begin(), within.end(), tag) != within.end()) {
        keep = static_cast<int32_t>(i);
        break;
      }
    }
    stack_.resize(keep + 1);
    return true;
  }

  void StartTag(const Token& t) {
    uint16_t tag = TagId(t.name);
    const auto& attrs = t.attributes;
    switch (tag) {
      case kTag_html:
      case kTag_head:
      case kTag_frameset:
      case kTag_frame:
      case kTag_colgroup:
      case kTag_col:
        return;
      case kTag_body:
        MergeBodyAttributes(attrs);
        return;
      case kTag_table:
        if (HasFlag(Current(), kTableContext) && LastTableIndex() >= 2) stack_.resize(LastTableIndex());
        ClosePIfOpen();
        reopen_.clear();
        InsertElement(tag, attrs, true);
        return;
      case kTag_caption:
      case kTag_thead:
      case kTag_tbody:
      case kTag_tfoot:
        if (!ClearToTable({})) return;
        reopen_.clear();
        InsertElement(tag, attrs, true);
        return;
      case kTag_tr:
        if (!ClearToTable({kTag_tbody, kTag_thead, kTag_tfoot})) return;
        reopen_.clear();
        InsertElement(tag, attrs, true);
        return;
      case kTag_td:
      case kTag_th:
        if (!ClearToTable({kTag_tr, kTag_tbody, kTag_thead, kTag_tfoot})) return;
        if (Current() != kTag_tr) InsertElement(kTag_tr, {}, true);
        reopen_.clear();
        InsertElement(tag, attrs, true);
        return;
      case kTag_li:
      case kTag_dd:
      case kTag_dt:
        CloseListItem(tag);
        ClosePIfOpen();
        InsertElement(tag, attrs, true);
        return;
      case kTag_a:
      case kTag_nobr:
        if (FindTagInScope(tag) >= 0) FormattingEnd(tag);
        ForgetReopen(tag);
        ReconstructFormatting();
        InsertElement(tag, attrs, true);
        return;
      default:
        break;
    }
    if (IsHeading(tag)) {
      ClosePIfOpen();
      if (IsHeading(Current())) PopTo(static_cast<int32_t>(stack_.size() - 1), true);
      InsertElement(tag, attrs, true);
      return;
    }
    if (HasFlag(tag, kClosesP)) {
      ClosePIfOpen();
      if (tag == kTag_xmp) ReconstructFormatting();
      InsertElement(tag, attrs, !HasFlag(tag, kVoid));
      if (tag == kTag_pre || tag == kTag_listing) skipNewline_ = true;
      return;
    }
    if (!HasFlag(tag, kHidden)) ReconstructFormatting();
    InsertElement(tag, attrs, !HasFlag(tag, kVoid));
    if (tag == kTag_textarea) skipNewline_ = true;
  }

  void MergeBodyAttributes(const std::vector<Attribute>& attrs) {
    Node& body = doc_.nodes[body_];
    // The body's attributes sit at the end of the attribute array only while nothing else was
    // added; otherwise they move there so that the stretch stays contiguous.
    std::vector<Attribute> merged(doc_.attributes.begin() + body.attrStart,
                                  doc_.attributes.begin() + body.attrStart + body.attrCount);
    for (const Attribute& a : attrs) {
      bool present = std::any_of(merged.begin(), merged.end(), [&a](const Attribute& m) { return m.name == a.name; });
      if (!present) merged.push_back(a);
    }
    if (merged.size() == body.attrCount) return;
    body.attrStart = static_cast<uint32_t>(doc_.attributes.size());
    body.attrCount = static_cast<uint32_t>(merged.size());
    doc_.attributes.insert(doc_.attributes.end(), merged.begin(), merged.end());
  }

  // A new li ends the open li of the same list (dd and dt end each other).
  void CloseListItem(uint16_t tag) {
    for (size_t i = stack_.size(); i-- > 2;) {
      uint16_t open = TagAt(i);
      bool same = tag == kTag_li ? open == kTag_li : (open == kTag_dd || open == kTag_dt);
      if (same) {
        PopTo(static_cast<int32_t>(i), true);
        return;
      }
      if (HasFlag(open, kSpecial) && open != kTag_address && open != kTag_div && open != kTag_p) return;
    }
  }

  void FormattingEnd(uint16_t tag) {
    int32_t index = FindTagInScope(tag);
    if (index < 0) {
      ForgetReopen(tag);
      return;
    }
    for (size_t i = index + 1; i < stack_.size(); ++i) {
      if (!HasFlag(TagAt(i), kFormatting)) {
        // A block opened inside the formatting element: the element ends with that block.
        ended_[stack_[index]] = 1;
        return;
      }
    }
    PopTo(index, true);
  }

  void TableEnd(uint16_t tag) {
    int32_t table = LastTableIndex();
    if (table < 0) return;
    for (size_t i = stack_.size(); i-- > static_cast<size_t>(table);) {
      if (TagAt(i) == tag) {
        stack_.resize(i);
        reopen_.clear();
        return;
      }
    }
  }

  void EndTag(const Token& t) {
    uint16_t tag = TagId(t.name);
    switch (tag) {
      case kTag_html:
      case kTag_body:
      case kTag_head:
        return;
      case kTag_br: {
        Token br;
        br.kind = Token::kStartTag;
        br.name = u"br";
        StartTag(br);
        return;
      }
      case kTag_p: {
        int32_t p = FindTagInScope(kTag_p, {kTag_button});
        if (p >= 0) PopTo(p, true); else InsertElement(kTag_p, {}, false);
        return;
      }
      case kTag_li: {
        int32_t li = FindTagInScope(kTag_li, {kTag_ul, kTag_ol});
        if (li >= 0) PopTo(li, true);
        return;
      }
      case kTag_table:
      case kTag_caption:
      case kTag_thead:
      case kTag_tbody:
      case kTag_tfoot:
      case kTag_tr:
      case kTag_td:
      case kTag_th:
        TableEnd(tag);
        return;
      default:
        break;
    }
    if (IsHeading(tag)) {
      int32_t h = FindInScope([](uint16_t open) { return IsHeading(open); });
      if (h >= 0) PopTo(h, true);
      return;
    }
    if (HasFlag(tag, kFormatting)) {
      FormattingEnd(tag);
      return;
    }
    if (HasFlag(tag, kSpecial)) {
      int32_t index = FindTagInScope(tag);
      if (index >= 0) PopTo(index, true);
      return;
    }
    // Any other end tag closes the nearest such element unless a block lies in between.
    for (size_t i = stack_.size(); i-- > 2;) {
      uint16_t open = TagAt(i);
      if (open == tag) {
        PopTo(static_cast<int32_t>(i), true);
        return;
      }
      if (HasFlag(open, kSpecial)) return;
    }
  }

  Document& doc_;
  std::vector<int32_t> stack_;
  std::vector<int32_t> reopen_;
  std::vector<uint8_t> ended_;
  std::unordered_map<std::u16string, uint16_t> custom_;
  int32_t body_ = -1;
  bool skipNewline_ = false;
};

}  // namespace

Document ParseHtml(std::u16string_view html) {
  Document doc;
  TreeBuilder builder(doc);
  builder.Run(html);
  return doc;
}

}  // namespace html
