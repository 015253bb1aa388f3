// The target collection: the pre-count, the adding pass, the filters and the progress of a long walk.
#include "targets/Collection.h"
#include "comm/LiteralPath.h"
#include "comm/LongPathName.h"
#include "comm/PathText.h"
#include "comm/StrSplit.h"
#include "comm/Scoped.h"
#include <algorithm>
#include <cwchar>

namespace targets {

namespace {

std::wstring Join(std::wstring_view prefix, std::wstring_view name) {
  std::wstring full;
  full.reserve(prefix.size() + 1 + name.size());
  full.append(prefix);
  full += comm::kPathSeparator;
  full.append(name);
  return full;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

bool IsDots(const wchar_t* name) { return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)); }

// A folder that is a link to elsewhere (symbolic link, junction, mount point): a name surrogate.
// Other reparse points, such as the placeholders of cloud storage, are folders of their own and
// are walked. An unknown tag counts as a link, the safe side.
bool IsLinkTag(DWORD attributes, DWORD tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (tag == 0 || IsReparseTagNameSurrogate(tag));
}

// literal: the comm_LiteralPath form of a folder. A root is a volume's own, however it is mounted.
bool IsLinkFolder(const std::wstring& literal, DWORD attributes) {
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT) || comm::comm_IsRootPath(literal)) return false;
  WIN32_FIND_DATAW fd;
  comm::TUniqueFind find(FindFirstFileW(literal.c_str(), &fd));
  return !find || IsLinkTag(fd.dwFileAttributes, fd.dwReserved0);
}

// The folder part of a search pattern (up to the last "\" or ":"), without a trailing "\".
std::wstring_view FolderPartOf(std::wstring_view pattern) {
  const size_t cut = pattern.find_last_of(L"\\:");
  if (cut == std::wstring_view::npos) return {};
  return comm::DropTrailingSeparator(pattern.substr(0, cut + 1));
}

// A path the user named relative to the current folder ("a.txt", "sub\x", "\x", "C:x") made
// absolute, so that its entries name what was meant rather than something below a root. The names
// are kept as given: "a." stays "a.", where the system's full-path rules would make it "a".
std::wstring Absolute(const std::wstring& path) {
  const bool driveRooted = path.size() >= 3 && path[1] == L':' && path[2] == comm::kPathSeparator;
  const bool unc = path.size() >= 2 && path[0] == comm::kPathSeparator && path[1] == comm::kPathSeparator;
  if (path.empty() || driveRooted || unc) return path;
  std::wstring full = comm::comm_AbsolutePath(path);
  return full.empty() ? path : full;
}

constexpr uint32_t kNoFolder = 0xFFFFFFFF;

// Expands one path. folderOf(parentTag, name) is called for the path itself when it is a folder and
// for every folder searched, and returns a tag of the caller's for it: a folder found in a search
// comes with its search's tag and its name, the path given and the folder searched for it with
// kNoFolder and the whole prefix. visit(tag, prefix, name, isFolder, data)
// sees the path itself when it is a folder (name and data null, prefix the path), then every entry below it or
// matching it, depth first, as the name found in the folder prefix with what the search found of it
// (attributes and times); for a folder it returns whether to
// walk into it. stop() is asked before each entry of a search and ends the walk. No full path is made
// for an entry that is not walked into.
// Searches are kept on a stack of their own, so a deep tree cannot exhaust the thread's stack.
// The entries are named as the user sees them (the path given, "\", the name found); the file system
// is asked in the literal form of the same path, so that a folder "a." is walked, not "a" beside it.
template <typename FolderOf, typename Visit, typename Stop>
void ExpandPath(const std::wstring& path, FolderOf&& folderOf, Visit&& visit, Stop&& stop) {
  const std::wstring literal = comm::comm_LiteralPath(path);
  std::wstring prefix, literalPrefix, pattern;
  const DWORD attributes = GetFileAttributesW(literal.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    if (!visit(folderOf(kNoFolder, std::wstring_view(path)), path, nullptr, true, nullptr) ||
        IsLinkFolder(literal, attributes))
      return;
    prefix = comm::DropTrailingSeparator(path);
    literalPrefix = comm::DropTrailingSeparator(literal);
    pattern = literalPrefix + L"\\*";
  } else {
    prefix = FolderPartOf(path);
    literalPrefix = FolderPartOf(literal);
    pattern = literal;
  }
  // A name without wildcards stands for that one entry. The search may match more: Wine's search lets
  // "a." match "a" beside it when the letter case differs. Only the entry of that name, or of that short
  // name, is taken.
  std::wstring exactName;
  if (pattern == literal) {
    exactName = literal.substr(literal.find_last_of(L"\\:") + 1);
    if (exactName.find_first_of(L"*?<>\"") != std::wstring::npos) exactName.clear();
  }
  if (!exactName.empty()) {
    exactName = comm::comm_StoredName(literalPrefix + comm::kPathSeparator, exactName);
    if (exactName.empty()) return;  // names nothing
    pattern = literalPrefix + comm::kPathSeparator + exactName;  // searched as stored: that entry alone
  }

  struct Search {
    std::wstring prefix, literalPrefix;
    comm::TUniqueFind find;
    bool pending;  // the entry of FindFirstFile has not been visited yet
    uint32_t tag;
  };
  std::vector<Search> searches;
  WIN32_FIND_DATAW data;
  // nameStart: where the folder's own name begins in folder (0: the whole of it stands for itself).
  auto open = [&](std::wstring folder, std::wstring literalFolder, const std::wstring& searchPattern,
                  FINDEX_INFO_LEVELS level, uint32_t parentTag, size_t nameStart) {
    HANDLE h = FindFirstFileExW(searchPattern.c_str(), level, &data, FindExSearchNameMatch, nullptr,
                                FIND_FIRST_EX_LARGE_FETCH);
    if (h == INVALID_HANDLE_VALUE) return;
    const uint32_t tag = folderOf(parentTag, std::wstring_view(folder).substr(nameStart));
    searches.push_back(Search{std::move(folder), std::move(literalFolder), comm::TUniqueFind(h), true, tag});
  };
  // The short names come with the standard level only.
  open(std::move(prefix), std::move(literalPrefix), pattern, exactName.empty() ? FindExInfoBasic : FindExInfoStandard,
       kNoFolder, 0);
  while (!searches.empty()) {
    Search& search = searches.back();
    if (search.pending) {
      search.pending = false;
    } else if (!FindNextFileW(search.find.Get(), &data)) {
      searches.pop_back();
      continue;
    }
    if (stop()) return;
    if (IsDots(data.cFileName)) continue;
    if (!exactName.empty() && searches.size() == 1 && !SameName(data.cFileName, exactName) &&
        !(data.cAlternateFileName[0] && SameName(data.cAlternateFileName, exactName)))
      continue;
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (visit(search.tag, search.prefix, data.cFileName, folder, &data) && folder &&
        !IsLinkTag(data.dwFileAttributes, data.dwReserved0)) {
      std::wstring full = Join(search.prefix, data.cFileName);
      std::wstring literalFull = Join(search.literalPrefix, data.cFileName);
      const std::wstring subPattern = literalFull + L"\\*";
      open(std::move(full), std::move(literalFull), subPattern, FindExInfoBasic, search.tag, search.prefix.size() + 1);
    }
  }
}

}  // namespace

// The entries a pre-count accepted, in the order of the walk, for the adding pass: each as the folder
// it lies in and its name, in blocks of characters that the adding pass releases as it goes. So the
// tree is walked once, and the list and this record of it are never both whole at once.
class TFoundEntries {
 public:
  // Keeps what the search found of each entry as well, for a view that takes it.
  explicit TFoundEntries(bool keepStates) : FKeepStates(keepStates) {}
  // A folder as its parent's index (kNoFolder: name is the whole prefix) and its name; its index.
  uint32_t AddFolder(uint32_t parent, std::wstring_view name) {
    FFolders.push_back(TFolder{parent, static_cast<uint32_t>(FFolderChars.size()), static_cast<uint32_t>(name.size())});
    FFolderChars.insert(FFolderChars.end(), name.begin(), name.end());
    return static_cast<uint32_t>(FFolders.size() - 1);
  }
  // A null name: the folder's own entry (a path given that is a folder). data: what the search found
  // (null for such an entry).
  void Add(uint32_t folder, const wchar_t* name, const WIN32_FIND_DATAW* data) {
    if (FKeepStates) {
      WIN32_FILE_ATTRIBUTE_DATA state{};
      if (data) state = {data->dwFileAttributes, data->ftCreationTime, data->ftLastAccessTime, data->ftLastWriteTime,
                         data->nFileSizeHigh, data->nFileSizeLow};
      else state.dwFileAttributes = INVALID_FILE_ATTRIBUTES;
      FStates.push_back(state);
    }
    const size_t length = name ? wcslen(name) : 0;
    const size_t need = kHeader + length;
    if (FBlocks.empty() || kBlockChars - FBlocks.back().used < need) {
      FBlocks.push_back(TBlock{std::make_unique<wchar_t[]>(kBlockChars), 0});
    }
    TBlock& block = FBlocks.back();
    wchar_t* at = block.chars.get() + block.used;
    at[0] = static_cast<wchar_t>(folder & 0xFFFF);
    at[1] = static_cast<wchar_t>(folder >> 16);
    at[2] = static_cast<wchar_t>(length);
    if (length) wmemcpy(at + kHeader, name, length);
    block.used += need;
  }
  // each(prefix, name, own, state) for every entry in order, own for a folder's own entry (name empty),
  // state what the search found (null when not kept or not known); every block is released once read.
  template <typename Each>
  void Replay(Each&& each) {
    // The prefix of the folder of the last entry, made again when the folder changes.
    std::wstring prefix;
    uint32_t prefixFolder = kNoFolder;
    for (TBlock& block : FBlocks) {
      for (size_t i = 0; i < block.used;) {
        const wchar_t* at = block.chars.get() + i;
        const uint32_t folder = static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 16);
        const size_t length = at[2];
        if (folder != prefixFolder) {
          prefix.clear();
          AppendPrefix(folder, prefix);
          prefixFolder = folder;
        }
        const WIN32_FILE_ATTRIBUTE_DATA* state =
            FKeepStates && FStates[FReplayed].dwFileAttributes != INVALID_FILE_ATTRIBUTES ? &FStates[FReplayed] : nullptr;
        ++FReplayed;
        each(prefix, std::wstring_view(at + kHeader, length), length == 0, state);
        i += kHeader + length;
      }
      block.chars.reset();
    }
    FBlocks.clear();
    FStates.clear();
  }

 private:
  static constexpr size_t kHeader = 3;          // the folder's index in two characters, the length
  static constexpr size_t kBlockChars = 32768;  // far above the longest name
  struct TBlock {
    std::unique_ptr<wchar_t[]> chars;
    size_t used;
  };
  // The folders as their parent and name: a tree of 20,000 folders costs about as much as its names.
  struct TFolder {
    uint32_t parent, offset, length;
  };
  // Without recursion: a tree may be thousands of folders deep.
  void AppendPrefix(uint32_t folder, std::wstring& to) {
    FChain.clear();
    for (uint32_t f = folder; f != kNoFolder; f = FFolders[f].parent) FChain.push_back(f);
    for (size_t i = FChain.size(); i-- > 0;) {
      const TFolder& f = FFolders[FChain[i]];
      if (i + 1 < FChain.size()) to += comm::kPathSeparator;
      to.append(FFolderChars.data() + f.offset, f.length);
    }
  }
  std::vector<TFolder> FFolders;
  std::vector<wchar_t> FFolderChars;
  std::vector<uint32_t> FChain;
  std::vector<TBlock> FBlocks;
  bool FKeepStates;
  std::vector<WIN32_FILE_ATTRIBUTE_DATA> FStates;  // in the order of Add, when kept
  size_t FReplayed = 0;
};

std::vector<std::wstring> MakeExtList(std::wstring_view text) {
  std::wstring cleaned;
  cleaned.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L' ' || c == L'.') continue;
    cleaned += (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
  }
  std::vector<std::wstring> list;
  comm::comm_StrSplit(cleaned, L";", list);
  return list;
}

std::wstring FileExtension(std::wstring_view name) {
  const size_t dot = name.rfind(L'.');
  if (dot == std::wstring_view::npos) return {};
  std::wstring ext(name.substr(dot + 1));
  if (!ext.empty()) CharLowerBuffW(ext.data(), static_cast<DWORD>(ext.size()));
  return ext;
}

bool ExtensionMatches(std::wstring_view listed, std::wstring_view ext) {
  const auto same = [](std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
  };
  if (listed.find_first_of(L"*?") == std::wstring_view::npos) return same(listed, ext);
  // The usual wildcard walk: on a mismatch, the last "*" takes one more character.
  size_t p = 0, e = 0, star = std::wstring_view::npos, starAt = 0;
  while (e < ext.size()) {
    if (p < listed.size() && listed[p] == L'*') {
      star = p++;
      starAt = e;
    } else if (p < listed.size() && (listed[p] == L'?' || same(listed.substr(p, 1), ext.substr(e, 1)))) {
      ++p;
      ++e;
    } else if (star != std::wstring_view::npos) {
      p = star + 1;
      e = ++starAt;
    } else {
      return false;
    }
  }
  while (p < listed.size() && listed[p] == L'*') ++p;
  return p == listed.size();
}

TTargetCollection::TTargetCollection(ICollectionHost& host, TTargetList& list, ICollectionView& view)
    : FHost(host), FTargetList(list), FView(view) {}

bool TTargetCollection::ExtPasses(std::wstring_view name) const {
  const std::wstring ext = FileExtension(name);
  return std::any_of(FExtList.begin(), FExtList.end(), [&](const std::wstring& e) { return ExtensionMatches(e, ext); });
}

bool TTargetCollection::FileCounts(std::wstring_view name) const {
  if (FHost.FoldersOnly()) return false;
  return !FHost.ExtSelect() || ExtPasses(name);
}

int TTargetCollection::CountPath(const std::wstring& path, TFoundEntries& found) {
  int count = 0;
  ExpandPath(
      path, [&](uint32_t parent, std::wstring_view name) { return found.AddFolder(parent, name); },
      [&](uint32_t folderTag, const std::wstring&, const wchar_t* name, bool folder, const WIN32_FIND_DATAW* data) {
        const bool counts = folder ? !FHost.FilesOnly() : FileCounts(name);
        const bool walk = folder && FHost.SubFolders();
        if (counts) {
          ++count;
          ++FCounted;
          found.Add(folderTag, name, data);
        }
        CountTick();
        return walk;
      },
      [&] { return FStopRequested; });
  return count;
}

// At every entry of the pre-count: the splash appears once the count is large or slow, and from then
// on lets the user stop the count.
void TTargetCollection::CountTick() {
  if (FSplash) {
    FSplash->Counting();
    return;
  }
  const int threshold = FHost.SplashCount();
  if (threshold <= 0 || !FSplashFactory) return;
  if (FCounted < threshold && GetTickCount() - FCountStart < SlowCountMs) return;
  if (MakeSplash()) {
    FSplash->Appear();
    FHost.ProcessPendingMessages();
  }
}

bool TTargetCollection::MakeSplash() {
  if (!FSplash) FSplash = FSplashFactory([this] { RequestStop(); });
  return FSplash != nullptr;
}

void TTargetCollection::AddFound(TFoundEntries& found) {
  // A stop ends the walk of each path given, but the folders given keep their own entries.
  std::wstring full;
  found.Replay([&](const std::wstring& prefix, std::wstring_view name, bool own, const WIN32_FILE_ATTRIBUTE_DATA* state) {
    if (own) {
      AddEntry(prefix, state);
    } else if (!FStopRequested) {
      full.assign(prefix);
      full += comm::kPathSeparator;
      full.append(name);
      AddEntry(full, state);
    }
  });
}

void TTargetCollection::AddEntry(std::wstring_view path, const WIN32_FILE_ATTRIBUTE_DATA* state) {
  const int index = FTargetList.Add(path);
  if (index < 0) return;  // already held
  // The two copies share indices: an item the control refuses leaves the list too.
  bool inserted = false;
  try {
    inserted = FView.InsertItem(index, FTargetList.Entry(index));
  } catch (...) {
    FTargetList.Delete(index);
    throw;
  }
  if (!inserted) {
    FTargetList.Delete(index);
    return;
  }
  if (state) FView.ItemState(index, *state);
  if (FShowProgress) AdvanceProgress();
}

void TTargetCollection::AdvanceProgress() {
  // The adding pass adds what the pre-count found, so the position ends at the total; never past it.
  FProgressPosition = std::min(FProgressPosition + 1, FProgressTotal);
  // The splash shows it and processes the pending messages, so that its stop button and Esc can set
  // the stop request.
  if (FSplash) FSplash->Progress(FProgressPosition, std::to_wstring(FProgressPosition) + FProgressSuffix);
}

void TTargetCollection::AddPaths(const std::vector<std::wstring>& given) {
  FView.ActivateForCollection();
  FHost.SetBusyCursor(true);
  FExtList = MakeExtList(FHost.ExtString());
  FHost.SetControlsEnabled(false);
  try {
    std::vector<std::wstring> paths;
    paths.reserve(given.size());
    for (const auto& p : given) paths.push_back(Absolute(p));

    FShowProgress = false;
    FProgressPosition = 0;
    FStopRequested = false;
    FCounted = 0;
    FCountStart = GetTickCount();
    // The pre-count walks the tree once and keeps what it found for the adding pass.
    TFoundEntries found(FView.WantsStates());
    long long total = 0;
    for (const auto& p : paths) total += CountPath(p, found);
    FProgressTotal = static_cast<int>(std::min<long long>(total, 0x7FFFFFFF));

    // A splash that appeared during the count stays for the adding pass, whatever the total.
    const int threshold = FHost.SplashCount();
    if ((FSplash || (threshold > 0 && FProgressTotal >= threshold && FSplashFactory)) && MakeSplash()) {
      FShowProgress = true;
      FProgressSuffix = L" / " + std::to_wstring(FProgressTotal) + L" ファイル";
      FSplash->Start(FProgressTotal);
      FHost.ProcessPendingMessages();
    }

    FView.BeginAdding(FProgressTotal);
    try {
      AddFound(found);
    } catch (...) {
      FView.EndAdding();
      throw;
    }
    FView.EndAdding();
  } catch (...) {
    FinishCollection();
    throw;
  }
  FinishCollection();
}

// The steps after the adding pass, which run however it ended.
void TTargetCollection::FinishCollection() {
  const bool hadSplash = FSplash != nullptr;
  FSplash.reset();
  if (hadSplash) FHost.ProcessPendingMessages();  // the splash goes away now
  if (!FTargetList.Empty()) FView.EnableCommands();
  FView.UpdateCount();
  FHost.SetBusyCursor(false);
  FHost.SetControlsEnabled(true);
  if (!FView.ViewShowing() && FHost.Shown()) FHost.FocusMainWindow();
}

}  // namespace targets
