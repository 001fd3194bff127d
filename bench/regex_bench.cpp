// The keyword query's match over big pages: PatternMatcher (Create + MatchText(4)) against a raw
// "Execute" of VBScript.RegExp on a BSTR of the same subject plus reading Item(3).Value, in the same
// run; then the peak private memory of the 20 MB case, measured in a child process of its own.
//   regex_bench.exe            all figures
//   regex_bench.exe --memory N [raw]   (internal) one N MB case, prints the peaks
#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "regex/pattern_matcher.h"
#include "win32/scoped.h"

namespace {

const Text kPattern(R"(<div id=\"main\">[\s\S]*?</div>)");

std::string Block(int n) { return "<div id=\"main\">\xBF\xE9 " + std::to_string(n) + " \xD6\xD0\xCE\xC4</div>\r\n"; }

// Three blocks at the start, filler, then the fourth and fifth within the last kilobyte. Built in place,
// so that making the page takes no more memory than the page.
Text MakePage(size_t megabytes) {
  const size_t size = megabytes << 20;
  const std::string filler = "<p class=\"row\">\xB9\xD8\xBC\xFC\xB4\xCA filler 12345</p>\r\n";
  const std::string tail = Block(4) + "<p>end</p>\r\n" + Block(5) + "</body></html>";
  std::string page;
  page.reserve(size);
  page += "<html><body>\r\n" + Block(1) + Block(2) + Block(3);
  while (page.size() + tail.size() + filler.size() <= size - 512) page += filler;
  page.append(size - tail.size() - page.size(), ' ');
  page += tail;
  return TextFromTrustedBytes(std::move(page));
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The raw way: IDispatch calls by hand, the subject as a BSTR.
DISPID Member(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  auto* names = const_cast<LPOLESTR>(name);
  object->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

void Put(IDispatch* object, const wchar_t* name, VARIANT value) {
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &put, 1, 1};
  object->Invoke(Member(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                 nullptr, nullptr);
}

Variant Get(IDispatch* object, WORD kind, const wchar_t* name, VARIANT* argument) {
  DISPPARAMS params{argument, nullptr, argument ? 1u : 0u, 0};
  Variant result;
  if (object) {
    object->Invoke(Member(object, name), IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result.put(), nullptr,
                   nullptr);
  }
  return result;
}

VARIANT Bool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

// Holds a BSTR of the page converted from code page 936.
Variant BstrOf(const Text& page) {
  const int units = MultiByteToWideChar(936, 0, page.c_str(), page.length(), nullptr, 0);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(units));
  MultiByteToWideChar(936, 0, page.c_str(), page.length(), v.bstrVal, units);
  return Variant::Attach(v);
}

size_t RawFourthLength(const Variant& subject) {
  CLSID clsid;
  CLSIDFromProgID(L"VBScript.RegExp", &clsid);
  ComPtr<IDispatch> engine;
  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(engine.put()));
  if (!engine) return 0;
  Put(engine.get(), L"IgnoreCase", Bool(true));
  Put(engine.get(), L"Multiline", Bool(true));
  Put(engine.get(), L"Global", Bool(true));
  Variant pattern = Variant::FromText(kPattern);
  Put(engine.get(), L"Pattern", pattern.get());
  VARIANT argument = subject.get();
  const Variant matches = Get(engine.get(), DISPATCH_METHOD, L"Execute", &argument);
  VARIANT index;
  VariantInit(&index);
  index.vt = VT_I4;
  index.lVal = 3;
  const Variant match = Get(matches.get().pdispVal, DISPATCH_PROPERTYGET, L"Item", &index);
  if (match.type() != VT_DISPATCH) return 0;
  const Variant value = Get(match.get().pdispVal, DISPATCH_PROPERTYGET, L"Value", nullptr);
  return value.type() == VT_BSTR ? SysStringLen(value.get().bstrVal) : 0;
}

size_t OursFourthLength(const Text& page) {
  PatternMatcher matcher;
  matcher.Create(kPattern, page);
  return static_cast<size_t>(matcher.MatchText(4).length());
}

struct Timing {
  double ours, raw, rawWithConversion;
  bool same;
};

// The best of `runs` for each way, alternating so that both see the same machine.
Timing Time(const Text& page, int runs) {
  Timing t{1e9, 1e9, 1e9, true};
  const size_t expected = static_cast<size_t>(Text(Block(4).substr(0, Block(4).size() - 2)).length());
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    t.same &= OursFourthLength(page) == expected;
    t.ours = std::min(t.ours, Seconds(start));

    const Variant subject = BstrOf(page);
    start = std::chrono::steady_clock::now();
    t.same &= RawFourthLength(subject) > 0;
    t.raw = std::min(t.raw, Seconds(start));

    start = std::chrono::steady_clock::now();
    t.same &= RawFourthLength(BstrOf(page)) > 0;
    t.rawWithConversion = std::min(t.rawWithConversion, Seconds(start));
  }
  return t;
}

PROCESS_MEMORY_COUNTERS_EX MemoryNow() {
  PROCESS_MEMORY_COUNTERS_EX c{};
  c.cb = sizeof(c);
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof(c));
  return c;
}

// One case in this process. Prints, in bytes: the page, then the growth of the peak working set and the
// system's peak of private usage, each above the base before the page was made; then the match's length.
// Wine reports PeakPagefileUsage as the current private usage, so there only the working set shows a peak.
int MeasureMemory(size_t megabytes, bool raw) {
  // Load the engine once first, so its code and the COM set-up are part of the base.
  OursFourthLength(Text("<div id=\"main\">x</div>"));
  const PROCESS_MEMORY_COUNTERS_EX base = MemoryNow();
  size_t found = 0;
  int32_t pageBytes = 0;
  {
    const Text page = MakePage(megabytes);
    pageBytes = page.length();
    found = raw ? RawFourthLength(BstrOf(page)) : OursFourthLength(page);
  }
  const PROCESS_MEMORY_COUNTERS_EX peak = MemoryNow();
  std::printf("%d %lld %lld %zu\n", pageBytes,
              static_cast<long long>(peak.PeakWorkingSetSize) - static_cast<long long>(base.WorkingSetSize),
              static_cast<long long>(peak.PeakPagefileUsage) - static_cast<long long>(base.PrivateUsage), found);
  return 0;
}

// Runs this program for one memory case and reads its figures.
struct MemoryRatios {
  double workingSet, systemPeakPrivate;
};

bool ChildMemory(size_t megabytes, bool raw, MemoryRatios* ratios) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --memory " + std::to_wstring(megabytes) + (raw ? L" raw" : L"");
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
  ScopedKernelHandle reader(readEnd), writer(writeEnd);
  SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writer.get();
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return false;
  ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
  writer.reset();
  std::string out;
  char buffer[256];
  DWORD n = 0;
  while (ReadFile(reader.get(), buffer, sizeof(buffer), &n, nullptr) && n > 0) out.append(buffer, n);
  WaitForSingleObject(process.get(), INFINITE);
  double page = 0, workingSet = 0, system = 0, found = 0;
  if (std::sscanf(out.c_str(), "%lf %lf %lf %lf", &page, &workingSet, &system, &found) != 4 ||
      page == 0 || found == 0) {
    return false;
  }
  *ratios = {workingSet / page, system / page};
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  CoInitialize(nullptr);
  if (argc >= 3 && std::strcmp(argv[1], "--memory") == 0) {
    const int rc = MeasureMemory(std::strtoul(argv[2], nullptr, 10), argc >= 4 && std::strcmp(argv[3], "raw") == 0);
    CoUninitialize();
    return rc;
  }

  std::printf("keyword query match: PatternMatcher Create + MatchText(4) vs raw Execute on a BSTR + Item(3).Value\n");
  std::printf("%6s %12s %12s %14s %10s %14s\n", "page", "ours [s]", "raw [s]", "raw+conv [s]", "ours/raw",
              "ours/raw+conv");
  for (size_t mb : {1u, 5u, 20u}) {
    const Text page = MakePage(mb);
    const Timing t = Time(page, mb >= 20 ? 2 : 5);
    std::printf("%4zuMB %12.4f %12.4f %14.4f %9.2fx %13.2fx%s\n", mb, t.ours, t.raw, t.rawWithConversion,
                t.ours / t.raw, t.ours / t.rawWithConversion, t.same ? "" : "  (WRONG RESULT)");
  }
  std::printf("goal: ours/raw <= 1.50x at 5MB\n\n");

  std::printf("peak memory of the 20MB case above the base before the page was made, as a multiple of the page\n");
  std::printf("%-16s %18s %22s\n", "", "working set peak", "PeakPagefileUsage");
  for (bool raw : {false, true}) {
    MemoryRatios r{};
    const char* name = raw ? "raw Execute" : "PatternMatcher";
    if (ChildMemory(20, raw, &r)) {
      std::printf("%-16s %17.2fx %21.2fx\n", name, r.workingSet, r.systemPeakPrivate);
    } else {
      std::printf("%-16s measurement failed\n", name);
    }
  }
  std::printf("(under Wine PeakPagefileUsage is the current private usage, not a peak)\n");
  std::printf("goal: PatternMatcher <= 8.00x\n");
  CoUninitialize();
  return 0;
}
