#include "installer/ZipArchive.h"

#include "installer/ArchiveEntryName.h"
#include "installer/ExtractionWorkers.h"
#include "sysutil/Exceptions.h"
#include "sysutil/FileSystem.h"
#include "sysutil/Handles.h"
#include "sysutil/PartialFile.h"
#include "sysutil/Utf8.h"

#include <zip.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

// Each entry is inflated and written in blocks of this size.
constexpr DWORD BlockSize = 1 << 20;
// libzip reads compressed data in small pieces; a read-ahead buffer turns them into few system calls.
constexpr size_t ReadAheadSize = 256 * 1024;
// Longest paths the file functions take without the "\\?\" prefix (CreateDirectoryW keeps room for
// an 8.3 name).
constexpr size_t MaxFilePath = MAX_PATH - 1;
constexpr size_t MaxFolderPath = MAX_PATH - 13;

struct TZipErrorText {
    zip_error_t Error;
    explicit TZipErrorText(int Code) { zip_error_init_with_code(&Error, Code); }
    ~TZipErrorText() { zip_error_fini(&Error); }
    TZipErrorText(const TZipErrorText&) = delete;
    TZipErrorText& operator=(const TZipErrorText&) = delete;
    std::wstring Text() { return Utf8ToWide(zip_error_strerror(&Error)); }
};

std::wstring LibraryErrorText(int Code) {
    return TZipErrorText(Code).Text();
}

// Folder keys compare the way the file system compares names.
std::wstring NameKey(std::wstring Path) {
    if (!Path.empty()) {
        CharUpperBuffW(Path.data(), static_cast<DWORD>(Path.size()));
    }
    return Path;
}

std::wstring JoinPath(const std::wstring& Folder, const std::wstring& Relative) {
    if (!Folder.empty() && (Folder.back() == L'\\' || Folder.back() == L'/')) {
        return Folder + Relative;
    }
    return Folder + L'\\' + Relative;
}

// The absolute form of Path, without a separator at the end unless it is a drive's root.
std::wstring FullPath(const std::wstring& Path) {
    const DWORD size = GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        throw EOSError(GetLastError(), L"(" + Path + L")");
    }
    std::wstring result(size, L'\0');
    const DWORD length = GetFullPathNameW(Path.c_str(), size, result.data(), nullptr);
    if (length == 0 || length >= size) {
        throw EOSError(GetLastError(), L"(" + Path + L")");
    }
    result.resize(length);
    while (result.size() > 3 && (result.back() == L'\\' || result.back() == L'/')) {
        result.pop_back();
    }
    return result;
}

struct TZipFileClose {
    void operator()(zip_file_t* File) const noexcept { zip_fclose(File); }
};
using TUniqueZipFile = std::unique_ptr<zip_file_t, TZipFileClose>;

struct TPlannedEntry {
    zip_uint64_t Index = 0;
    std::wstring Name;
    TArchiveEntryName Target;
    uint64_t Size = 0;
    bool HasTime = false;
    FILETIME Time{};
    // A later entry of the same name replaces this one, which is then not written.
    bool Replaced = false;
};

FILETIME UnixTimeToFileTime(time_t Time) {
    // FILETIME counts 100 ns steps since 1601-01-01.
    const uint64_t ticks = static_cast<uint64_t>(Time) * 10000000ull + 116444736000000000ull;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

[[noreturn]] void FailEntry(const std::wstring& Name, const std::wstring& Reason) {
    throw EError(L"The archive entry '" + Name + L"' " + Reason);
}

} // namespace

// The libzip source over the caller's handle: positioned reads through a read-ahead buffer.
class TZipArchive::TSource {
public:
    explicit TSource(HANDLE File) : FFile(File) {
        zip_error_init(&FError);
        LARGE_INTEGER size;
        if (!GetFileSizeEx(FFile, &size)) {
            throw EOSError(GetLastError(), L"(reading the size of the archive)");
        }
        FSize = static_cast<uint64_t>(size.QuadPart);
    }
    ~TSource() { zip_error_fini(&FError); }
    TSource(const TSource&) = delete;
    TSource& operator=(const TSource&) = delete;

    static zip_int64_t Callback(void* State, void* Data, zip_uint64_t Length, zip_source_cmd_t Command) {
        return static_cast<TSource*>(State)->Handle(Data, Length, Command);
    }

    HANDLE File() const { return FFile; }
    // The system's error number of the last failed read or seek.
    const DWORD& SystemError() const { return FSystemError; }

    // Whether the file begins like a ZIP archive, to tell a truncated archive from another file.
    bool StartsWithLocalHeader() {
        FPosition = 0;
        unsigned char signature[4];
        return Read(signature, sizeof signature) == sizeof signature && std::memcmp(signature, "PK\3\4", 4) == 0;
    }

private:
    zip_int64_t Handle(void* Data, zip_uint64_t Length, zip_source_cmd_t Command) {
        switch (Command) {
        case ZIP_SOURCE_OPEN:
            FPosition = 0;
            return 0;
        case ZIP_SOURCE_READ:
            return Read(static_cast<unsigned char*>(Data), Length);
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_STAT: {
            zip_stat_t* stat = ZIP_SOURCE_GET_ARGS(zip_stat_t, Data, Length, &FError);
            if (stat == nullptr) {
                return -1;
            }
            zip_stat_init(stat);
            stat->size = FSize;
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&FError, Data, Length);
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t position = zip_source_seek_compute_offset(FPosition, FSize, Data, Length, &FError);
            if (position < 0) {
                return -1;
            }
            FPosition = static_cast<uint64_t>(position);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return static_cast<zip_int64_t>(FPosition);
        case ZIP_SOURCE_ACCEPT_EMPTY:
            // An empty file is no archive.
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return ZIP_SOURCE_SUPPORTS_SEEKABLE | ZIP_SOURCE_MAKE_COMMAND_BITMASK(ZIP_SOURCE_ACCEPT_EMPTY);
        default:
            zip_error_set(&FError, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }

    zip_int64_t Read(unsigned char* Data, zip_uint64_t Length) {
        Length = std::min<zip_uint64_t>(Length, FPosition < FSize ? FSize - FPosition : 0);
        zip_uint64_t done = 0;
        while (done < Length) {
            if (FPosition >= FBufferStart && FPosition < FBufferStart + FBufferLength) {
                const size_t offset = static_cast<size_t>(FPosition - FBufferStart);
                const size_t count = static_cast<size_t>(std::min<zip_uint64_t>(Length - done, FBufferLength - offset));
                std::memcpy(Data + done, FBuffer.data() + offset, count);
                done += count;
                FPosition += count;
            } else if (Length - done >= ReadAheadSize) {
                // Large reads (stored entries) go straight into the caller's block.
                const DWORD count = static_cast<DWORD>(std::min<zip_uint64_t>(Length - done, BlockSize));
                const DWORD got = ReadAt(FPosition, Data + done, count);
                if (got == 0) {
                    break;
                }
                done += got;
                FPosition += got;
            } else {
                FBuffer.resize(ReadAheadSize);
                FBufferStart = FPosition;
                FBufferLength = ReadAt(FPosition, FBuffer.data(), ReadAheadSize);
                if (FBufferLength == 0) {
                    break;
                }
            }
        }
        if (FFailed) {
            FFailed = false;
            return -1;
        }
        return static_cast<zip_int64_t>(done);
    }

    // Reads up to Count bytes at Position; 0 at the end of the file or on an error (FFailed).
    // The read names its own position, so sources of several threads share the handle.
    DWORD ReadAt(uint64_t Position, unsigned char* Data, DWORD Count) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(Position);
        at.OffsetHigh = static_cast<DWORD>(Position >> 32);
        DWORD got = 0;
        if (!ReadFile(FFile, Data, Count, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF) {
                return 0;
            }
            Fail(ZIP_ER_READ);
            return 0;
        }
        return got;
    }

    void Fail(int Code) {
        FSystemError = GetLastError();
        FFailed = true;
        zip_error_set(&FError, Code, 0);
    }

    HANDLE FFile;
    uint64_t FSize = 0;
    uint64_t FPosition = 0;
    std::vector<unsigned char> FBuffer;
    uint64_t FBufferStart = 0;
    size_t FBufferLength = 0;
    bool FFailed = false;
    DWORD FSystemError = 0;
    zip_error_t FError;
};

void TZipArchive::TDiscard::operator()(zip* Archive) const noexcept {
    zip_discard(Archive);
}

TZipArchive::TZipArchive(HANDLE File) : FSource(std::make_unique<TSource>(File)), FArchive(Open(*FSource)) {}

zip* TZipArchive::Open(TSource& Source) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_function_create(&TSource::Callback, &Source, &error);
    zip_t* archive = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    if (archive != nullptr) {
        return archive;
    }
    // On failure the source is still ours.
    zip_source_free(source);
    switch (code) {
    case ZIP_ER_NOZIP:
        if (Source.StartsWithLocalHeader()) {
            throw EError(L"The archive is truncated or damaged: no valid central directory was found.");
        }
        throw EError(L"The file is not a ZIP archive.");
    case ZIP_ER_INCONS:
        throw EError(L"The archive is damaged: its central directory is inconsistent.");
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
        throw EError(L"The archive could not be read: " + SystemErrorMessage(Source.SystemError()));
    default:
        throw EError(L"The archive could not be opened: " + LibraryErrorText(code) + L".");
    }
}

TZipArchive::~TZipArchive() = default;

uint64_t TZipArchive::EntryCount() const {
    return static_cast<uint64_t>(zip_get_num_entries(FArchive.get(), 0));
}

namespace {

// Reads every entry's directory record and refuses the archive before anything is written.
class TExtractPlan {
public:
    TExtractPlan(zip_t* Archive, const std::wstring& Root) : FRoot(Root) {
        const zip_int64_t count = zip_get_num_entries(Archive, 0);
        FEntries.reserve(static_cast<size_t>(std::max<zip_int64_t>(count, 0)));
        for (zip_int64_t i = 0; i < count; ++i) {
            Add(Archive, static_cast<zip_uint64_t>(i));
        }
    }

    const std::vector<TPlannedEntry>& Entries() const { return FEntries; }
    uint64_t TotalBytes() const { return FTotalBytes; }

private:
    void Add(zip_t* Archive, zip_uint64_t Index) {
        // ZIP_FL_ENC_GUESS: UTF-8 when the entry is flagged so (or is valid UTF-8), otherwise CP437.
        const char* decoded = zip_get_name(Archive, Index, ZIP_FL_ENC_GUESS);
        const char* stored = zip_get_name(Archive, Index, ZIP_FL_ENC_RAW);
        zip_stat_t stat;
        if (decoded == nullptr || stored == nullptr || zip_stat_index(Archive, Index, 0, &stat) != 0) {
            throw EError(L"The archive entry number " + std::to_wstring(Index + 1) + L" could not be read: " +
                         Utf8ToWide(zip_strerror(Archive)) + L".");
        }
        TPlannedEntry entry;
        entry.Index = Index;
        entry.Name = Utf8ToWide(decoded);
        entry.Target = CheckArchiveEntryName(entry.Name, stored);
        if (!entry.Target.IsFolder) {
            if ((stat.valid & ZIP_STAT_COMP_METHOD) == 0 ||
                (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE)) {
                FailEntry(entry.Name, L"uses a compression method other than Stored or Deflate.");
            }
            if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
                FailEntry(entry.Name, L"is encrypted.");
            }
            entry.Size = stat.size;
            FTotalBytes += stat.size;
        }
        if ((stat.valid & ZIP_STAT_MTIME) != 0 && stat.mtime >= 0) {
            entry.HasTime = true;
            entry.Time = UnixTimeToFileTime(stat.mtime);
        }
        const size_t pathLength = JoinPath(FRoot, entry.Target.RelativePath).size();
        if (pathLength > (entry.Target.IsFolder ? MaxFolderPath : MaxFilePath)) {
            FailEntry(entry.Name, L"would get a path of " + std::to_wstring(pathLength) + L" characters in '" + FRoot +
                                      L"', longer than Windows allows.");
        }
        Claim(entry);
        FEntries.push_back(std::move(entry));
    }

    // A path may not be a file for one entry and a folder for another; of two files with
    // the same path the later one is written, as extracting them in order would leave it.
    void Claim(const TPlannedEntry& Entry) {
        const std::wstring key = NameKey(Entry.Target.RelativePath);
        for (size_t separator = key.find(L'\\'); separator != std::wstring::npos;
             separator = key.find(L'\\', separator + 1)) {
            ClaimPath(Entry, key.substr(0, separator), true);
        }
        ClaimPath(Entry, key, Entry.Target.IsFolder);
        if (!Entry.Target.IsFolder) {
            const auto [it, added] = FFiles.try_emplace(key, FEntries.size());
            if (!added) {
                TPlannedEntry& earlier = FEntries[it->second];
                earlier.Replaced = true;
                FTotalBytes -= earlier.Size;
                it->second = FEntries.size();
            }
        }
    }

    void ClaimPath(const TPlannedEntry& Entry, const std::wstring& Key, bool Folder) {
        const auto [it, added] = FKinds.try_emplace(Key, Folder);
        if (!added && it->second != Folder) {
            // The key is the upper-cased path, as long as the entry's own spelling of it.
            const std::wstring path = Entry.Target.RelativePath.substr(0, Key.size());
            FailEntry(Entry.Name, L"needs '" + path + L"' as a " + (Folder ? L"folder" : L"file") +
                                      L", but another entry makes it a " + (Folder ? L"file." : L"folder."));
        }
    }

    std::wstring FRoot;
    std::vector<TPlannedEntry> FEntries;
    std::unordered_map<std::wstring, bool> FKinds;   // upper-cased relative path -> is a folder
    std::unordered_map<std::wstring, size_t> FFiles; // upper-cased relative path -> its last entry
    uint64_t FTotalBytes = 0;
};

// Creates the folders below the root, each once.
class TFolderMaker {
public:
    explicit TFolderMaker(const std::wstring& Root) : FRoot(Root) {}

    void Make(const std::wstring& EntryName, const std::wstring& Relative) {
        const std::wstring key = NameKey(Relative);
        if (FMade.contains(key)) {
            return;
        }
        const size_t separator = Relative.find_last_of(L'\\');
        if (separator != std::wstring::npos) {
            Make(EntryName, Relative.substr(0, separator));
        }
        const std::wstring path = JoinPath(FRoot, Relative);
        if (!CreateDirectoryW(path.c_str(), nullptr)) {
            const DWORD code = GetLastError();
            if (!FolderExists(path)) {
                FailEntry(EntryName,
                          L"needs the folder '" + path + L"', which could not be created: " + SystemErrorMessage(code));
            }
        }
        FMade.insert(key);
    }

private:
    std::wstring FRoot;
    std::unordered_set<std::wstring> FMade;
};

// Creates the root, every folder entry and every file's folder, before any file is written.
void MakeFolders(const std::wstring& Root, const TExtractPlan& Plan) {
    CreateFolderTree(Root);
    TFolderMaker folders(Root);
    for (const TPlannedEntry& entry : Plan.Entries()) {
        const std::wstring& relative = entry.Target.RelativePath;
        const size_t separator = relative.find_last_of(L'\\');
        if (entry.Target.IsFolder) {
            folders.Make(entry.Name, relative);
        } else if (separator != std::wstring::npos) {
            folders.Make(entry.Name, relative.substr(0, separator));
        }
    }
}

// The threads that write the files. They mostly wait for the file system, so a few more
// than there are processors still help; never more than there are files.
size_t WorkerCount(const TExtractPlan& Plan) {
    constexpr size_t MostWorkers = 4;
    const size_t files =
        static_cast<size_t>(std::count_if(Plan.Entries().begin(), Plan.Entries().end(), [](const TPlannedEntry& Entry) {
            return !Entry.Target.IsFolder && !Entry.Replaced;
        }));
    return std::clamp<size_t>(files, 1, MostWorkers);
}

// Writes the files of the entries one worker is handed.
class TExtractor {
public:
    // ReadError: the system's error number of the worker's archive's last failed read.
    TExtractor(zip_t* Archive, const DWORD& ReadError, TExtractionWorkers& Workers)
        : FArchive(Archive), FReadError(ReadError), FWorkers(Workers), FBlock(BlockSize) {}

    void Run(const std::wstring& Root, const TExtractPlan& Plan) {
        for (size_t index; FWorkers.Next(index);) {
            const TPlannedEntry& entry = Plan.Entries()[index];
            if (!entry.Target.IsFolder && !entry.Replaced) {
                ExtractFile(entry, JoinPath(Root, entry.Target.RelativePath));
            }
            FWorkers.Advance(1, 0);
        }
    }

private:
    void ExtractFile(const TPlannedEntry& Entry, const std::wstring& Path) {
        const std::wstring& name = Entry.Name;
        // Replacing must work also for a file left read-only, hidden or system.
        const DWORD attributes = GetFileAttributesW(Path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                FailEntry(name, L"cannot replace the folder '" + Path + L"' with a file.");
            }
            if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
                SetFileAttributesW(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
            }
        }

        TUniqueZipFile source(zip_fopen_index(FArchive, Entry.Index, 0));
        if (!source) {
            FailEntry(name, OpenFailure(zip_error_code_zip(zip_get_error(FArchive))));
        }

        TPartialFile partial(Path);
        TUniqueFileHandle file(
            CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD code = GetLastError();
            // Nothing was written, and an existing file (perhaps in use) must stay.
            partial.Complete();
            FailEntry(name, L"could not be written to '" + Path + L"': " + SystemErrorMessage(code));
        }

        uint64_t done = 0;
        while (true) {
            const zip_int64_t got = zip_fread(source.get(), FBlock.data(), FBlock.size());
            if (got < 0) {
                FailEntry(name, ReadFailure(zip_error_code_zip(zip_file_get_error(source.get()))));
            }
            if (got == 0) {
                break;
            }
            // Stop as soon as the data outgrows the declared size, before it fills the disk.
            if (static_cast<uint64_t>(got) > Entry.Size - done) {
                FailEntry(name, L"is corrupt: its data is longer than the " + std::to_wstring(Entry.Size) +
                                    L" bytes its header declares.");
            }
            DWORD wrote = 0;
            if (!WriteFile(file.get(), FBlock.data(), static_cast<DWORD>(got), &wrote, nullptr)) {
                const DWORD code = GetLastError();
                FailEntry(name, L"could not be written to '" + Path + L"': " + SystemErrorMessage(code));
            }
            if (wrote != static_cast<DWORD>(got)) {
                FailEntry(name, L"could not be written completely to '" + Path + L"' (" + std::to_wstring(wrote) +
                                    L" of " + std::to_wstring(got) + L" bytes); the disk may be full.");
            }
            done += wrote;
            FWorkers.Advance(0, wrote);
        }
        if (done != Entry.Size) {
            FailEntry(name, L"is corrupt: it holds " + std::to_wstring(done) + L" bytes instead of the " +
                                std::to_wstring(Entry.Size) + L" its header declares.");
        }
        if (Entry.HasTime && !SetFileTime(file.get(), nullptr, nullptr, &Entry.Time)) {
            const DWORD code = GetLastError();
            FailEntry(name, L"could not get its modification time on '" + Path + L"': " + SystemErrorMessage(code));
        }
        partial.Complete();
    }

    // The cause when libzip cannot start reading an entry: most often a header that points nowhere.
    std::wstring OpenFailure(int Code) const {
        switch (Code) {
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_EOF:
        case ZIP_ER_MEMORY:
            return ReadFailure(Code);
        default:
            return L"is damaged: its data cannot be found in the archive (" + LibraryErrorText(Code) + L").";
        }
    }

    std::wstring ReadFailure(int Code) const {
        switch (Code) {
        case ZIP_ER_CRC:
            return L"is corrupt: its CRC-32 does not match its data.";
        case ZIP_ER_INCONS:
            return L"is corrupt: its size does not match its data.";
        case ZIP_ER_ZLIB:
        case ZIP_ER_COMPRESSED_DATA:
            return L"is corrupt: its compressed data is invalid.";
        case ZIP_ER_EOF:
            return L"is truncated: the archive ends inside its data.";
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
            return L"could not be read from the archive: " + SystemErrorMessage(FReadError);
        default:
            return L"could not be read: " + LibraryErrorText(Code) + L".";
        }
    }

    zip_t* FArchive;
    const DWORD& FReadError;
    TExtractionWorkers& FWorkers;
    std::vector<unsigned char> FBlock;
};

} // namespace

void TZipArchive::ExtractAll(const std::wstring& Folder, const TExtractProgressEvent& Progress) {
    if (Folder.empty()) {
        throw EError(L"No folder was given to extract the archive into.");
    }
    const std::wstring root = FullPath(Folder);
    const TExtractPlan plan(FArchive.get(), root);
    MakeFolders(root, plan);

    // The first worker reads through this object's archive, every other one through an
    // archive of its own over the same handle.
    const size_t workers = WorkerCount(plan);
    std::vector<std::unique_ptr<TSource>> sources;
    std::vector<std::unique_ptr<zip, TDiscard>> archives;
    sources.reserve(workers);
    archives.reserve(workers);
    for (size_t worker = 1; worker < workers; ++worker) {
        sources.push_back(std::make_unique<TSource>(FSource->File()));
        archives.emplace_back(Open(*sources.back()));
    }
    TExtractionWorkers run(plan.Entries().size(), plan.TotalBytes(), Progress);
    run.Run(workers, [&](size_t Worker) {
        zip_t* archive = Worker == 0 ? FArchive.get() : archives[Worker - 1].get();
        const TSource& source = Worker == 0 ? *FSource : *sources[Worker - 1];
        TExtractor(archive, source.SystemError(), run).Run(root, plan);
    });
}
