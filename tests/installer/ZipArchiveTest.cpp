#include "installer/ZipArchive.h"
#include "sysutil/Exceptions.h"
#include "sysutil/Handles.h"
#include "sysutil/Utf8.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr time_t DefaultTime = 1600000000; // 2020-09-13, an even second as DOS times need

// A folder of the test's own under the temporary folder, removed with everything in it.
class TTestFolder {
public:
    TTestFolder() {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        FPath = fs::temp_directory_path() /
                (L"ZipArchiveTest-" + Utf8ToWide(test->name()) + L"-" + std::to_wstring(GetCurrentProcessId()));
        fs::remove_all(FPath);
        fs::create_directories(FPath);
    }
    ~TTestFolder() {
        // Read-only files would stay behind.
        std::error_code ignored;
        for (const fs::directory_entry& item : fs::recursive_directory_iterator(FPath, ignored)) {
            SetFileAttributesW(item.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        fs::remove_all(FPath, ignored);
    }
    TTestFolder(const TTestFolder&) = delete;
    TTestFolder& operator=(const TTestFolder&) = delete;

    const fs::path& Path() const { return FPath; }
    fs::path operator/(const std::wstring& Name) const { return FPath / Name; }

private:
    fs::path FPath;
};

struct TTestEntry {
    std::string Name; // the bytes stored as the name
    std::string Data;
    zip_int32_t Method = ZIP_CM_DEFLATE;
    time_t Time = DefaultTime;
    bool Folder = false;
};

[[noreturn]] void ZipFailed(const char* What, zip_error_t* Error) {
    throw std::runtime_error(std::string(What) + ": " + zip_error_strerror(Error));
}

// An archive made in memory with libzip's write side.
std::string BuildArchive(const std::vector<TTestEntry>& Entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (buffer == nullptr) {
        ZipFailed("buffer", &error);
    }
    zip_source_keep(buffer); // read back after zip_close
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    if (archive == nullptr) {
        ZipFailed("open", &error);
    }
    for (const TTestEntry& entry : Entries) {
        zip_int64_t index;
        if (entry.Folder) {
            index = zip_dir_add(archive, entry.Name.c_str(), ZIP_FL_ENC_GUESS);
        } else {
            zip_source_t* data = zip_source_buffer(archive, entry.Data.data(), entry.Data.size(), 0);
            index = zip_file_add(archive, entry.Name.c_str(), data, ZIP_FL_ENC_GUESS);
            if (index < 0) {
                zip_source_free(data);
            } else {
                zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), entry.Method, 9);
            }
        }
        if (index < 0 || zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), entry.Time, 0) != 0) {
            ZipFailed(entry.Name.c_str(), zip_get_error(archive));
        }
    }
    if (zip_close(archive) != 0) {
        ZipFailed("close", zip_get_error(archive));
    }
    zip_stat_t stat;
    std::string bytes;
    if (zip_source_open(buffer) != 0 || zip_source_stat(buffer, &stat) != 0) {
        ZipFailed("read back", zip_source_error(buffer));
    }
    bytes.resize(stat.size);
    const zip_int64_t got = zip_source_read(buffer, bytes.data(), bytes.size());
    zip_source_close(buffer);
    zip_source_free(buffer);
    if (got != static_cast<zip_int64_t>(bytes.size())) {
        throw std::runtime_error("short read back");
    }
    return bytes;
}

// Incompressible bytes, the same for every run.
std::string NoiseBytes(size_t Size, uint32_t Seed) {
    std::string data(Size, '\0');
    for (char& c : data) {
        Seed = Seed * 1664525u + 1013904223u;
        c = static_cast<char>(Seed >> 24);
    }
    return data;
}

void WriteFileBytes(const fs::path& Path, const std::string& Bytes) {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + Path.string());
    }
}

std::string ReadFileBytes(const fs::path& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TUniqueFileHandle OpenArchive(const fs::path& Path, DWORD Share = FILE_SHARE_READ) {
    TUniqueFileHandle file(
        CreateFileW(Path.c_str(), GENERIC_READ, Share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        throw std::runtime_error("cannot open " + Path.string());
    }
    return file;
}

// Writes Bytes to a file beside the target and extracts it from there.
void Extract(const TTestFolder& Work, const std::string& Bytes, const fs::path& Target,
             const TExtractProgressEvent& Progress = nullptr) {
    const fs::path archivePath = Work / L"archive.zip";
    WriteFileBytes(archivePath, Bytes);
    const TUniqueFileHandle file = OpenArchive(archivePath);
    TZipArchive archive(file.get());
    archive.ExtractAll(Target.wstring(), Progress);
}

std::wstring ErrorOf(const std::function<void()>& Action) {
    try {
        Action();
    } catch (const EError& error) {
        return error.Message();
    }
    ADD_FAILURE() << "no error raised";
    return {};
}

// Everything below Folder: relative paths with '/', folders ending in '/'.
std::set<std::wstring> Tree(const fs::path& Folder) {
    std::set<std::wstring> items;
    for (const fs::directory_entry& item : fs::recursive_directory_iterator(Folder)) {
        std::wstring name = item.path().lexically_relative(Folder).generic_wstring();
        items.insert(item.is_directory() ? name + L"/" : name);
    }
    return items;
}

time_t LastWriteTime(const fs::path& Path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Path.c_str(), GetFileExInfoStandard, &data)) {
        throw std::runtime_error("no attributes for " + Path.string());
    }
    const uint64_t ticks = (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return static_cast<time_t>((ticks - 116444736000000000ull) / 10000000ull);
}

TEST(ZipArchive, ExtractsStoredAndDeflatedEntriesWithFoldersAndTimes) {
    TTestFolder work;
    const std::string big = NoiseBytes(3 * 1024 * 1024 + 17, 1); // several blocks
    const std::string stored = NoiseBytes(1536 * 1024, 2);
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        text += "line " + std::to_string(i) + " of a compressible text\r\n";
    }
    const std::vector<TTestEntry> entries = {
        {"readme.txt", text, ZIP_CM_DEFLATE, 1262304000},
        {"bin/random.bin", big, ZIP_CM_DEFLATE, 1500000000},
        {"bin/stored.bin", stored, ZIP_CM_STORE, 1400000000},
        {"docs/deep/nested/\u00FCber \u20AC.txt", "utf-8 name", ZIP_CM_STORE}, // UTF-8 in a narrow literal
        {"zero.txt", "", ZIP_CM_STORE},
        {"empty/", "", ZIP_CM_STORE, DefaultTime, true},
        {std::string(1, '\x81') + "ber-cp437.txt", "cp437 name"}, // 0x81 is u-umlaut in CP437, no UTF-8 flag
    };
    const fs::path target = work / L"target";
    const DWORD caller = GetCurrentThreadId();
    std::vector<TExtractProgress> reports;
    bool elsewhere = false;
    Extract(work, BuildArchive(entries), target, [&](const TExtractProgress& p) {
        reports.push_back(p);
        elsewhere = elsewhere || GetCurrentThreadId() != caller;
    });

    EXPECT_EQ(Tree(target),
              (std::set<std::wstring>{L"readme.txt", L"bin/", L"bin/random.bin", L"bin/stored.bin", L"docs/",
                                      L"docs/deep/", L"docs/deep/nested/", L"docs/deep/nested/\u00FCber \u20AC.txt",
                                      L"zero.txt", L"empty/", L"\u00FCber-cp437.txt"}));
    EXPECT_EQ(ReadFileBytes(target / L"readme.txt"), text);
    EXPECT_TRUE(ReadFileBytes(target / L"bin/random.bin") == big);
    EXPECT_TRUE(ReadFileBytes(target / L"bin/stored.bin") == stored);
    EXPECT_EQ(ReadFileBytes(target / L"docs/deep/nested/\u00FCber \u20AC.txt"), "utf-8 name");
    EXPECT_EQ(ReadFileBytes(target / L"\u00FCber-cp437.txt"), "cp437 name");
    EXPECT_EQ(fs::file_size(target / L"zero.txt"), 0u);
    EXPECT_EQ(LastWriteTime(target / L"readme.txt"), 1262304000);
    EXPECT_EQ(LastWriteTime(target / L"bin/random.bin"), 1500000000);
    EXPECT_EQ(LastWriteTime(target / L"bin/stored.bin"), 1400000000);
    EXPECT_EQ(LastWriteTime(target / L"zero.txt"), DefaultTime);

    const uint64_t total = text.size() + big.size() + stored.size() + 10 + 10;
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().EntriesDone, entries.size());
    EXPECT_EQ(reports.back().EntryCount, entries.size());
    EXPECT_EQ(reports.back().BytesDone, total);
    EXPECT_EQ(reports.back().BytesTotal, total);
    EXPECT_GT(reports.size(), entries.size() + 3) << "large entries report every block";
    EXPECT_FALSE(elsewhere) << "progress is reported on the extracting thread";
    for (size_t i = 1; i < reports.size(); ++i) {
        EXPECT_GE(reports[i].BytesDone, reports[i - 1].BytesDone);
        EXPECT_GE(reports[i].EntriesDone, reports[i - 1].EntriesDone);
    }
}

TEST(ZipArchive, ReplacesExistingFilesAndKeepsOthers) {
    TTestFolder work;
    const fs::path target = work / L"target";
    fs::create_directories(target / L"sub");
    WriteFileBytes(target / L"a.txt", "an older and much longer content");
    WriteFileBytes(target / L"sub/b.txt", "old b");
    WriteFileBytes(target / L"keep.txt", "not in the archive");
    SetFileAttributesW((target / L"a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesW((target / L"sub/b.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);

    Extract(work, BuildArchive({{"a.txt", "new a"}, {"sub/b.txt", "new b", ZIP_CM_STORE}}), target);

    EXPECT_EQ(ReadFileBytes(target / L"a.txt"), "new a");
    EXPECT_EQ(ReadFileBytes(target / L"sub/b.txt"), "new b");
    EXPECT_EQ(ReadFileBytes(target / L"keep.txt"), "not in the archive");
}

TEST(ZipArchive, OfTwoEntriesWithOneNameTheLaterIsWritten) {
    TTestFolder work;
    const fs::path target = work / L"target";
    std::vector<TTestEntry> entries;
    for (int i = 0; i < 40; ++i) {
        entries.push_back({"many/file" + std::to_string(i) + ".txt", "content " + std::to_string(i)});
    }
    entries.push_back({"same.txt", std::string(3000, 'a')});
    entries.push_back({"other.txt", "other"});
    entries.push_back({"SAME.TXT", "the later one"});
    std::vector<TExtractProgress> reports;
    Extract(work, BuildArchive(entries), target, [&](const TExtractProgress& p) { reports.push_back(p); });

    EXPECT_EQ(ReadFileBytes(target / L"same.txt"), "the later one");
    EXPECT_EQ(ReadFileBytes(target / L"many/file39.txt"), "content 39");
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().EntriesDone, entries.size());
    EXPECT_EQ(reports.back().BytesDone, reports.back().BytesTotal) << "the replaced entry is not counted";
}

TEST(ZipArchive, AFailingProgressEventStopsTheExtraction) {
    // The wizard's cancel button ends an extraction this way.
    TTestFolder work;
    std::vector<TTestEntry> entries;
    for (int i = 0; i < 300; ++i) {
        entries.push_back({"file" + std::to_string(i) + ".txt", std::string(2000, 'x')});
    }
    const fs::path target = work / L"target";
    const std::wstring message = ErrorOf([&] {
        Extract(work, BuildArchive(entries), target, [](const TExtractProgress& p) {
            if (p.EntriesDone == 3) {
                throw EError(L"Cancelled.");
            }
        });
    });
    EXPECT_EQ(message, L"Cancelled.");
    EXPECT_LT(std::distance(fs::directory_iterator(target), fs::directory_iterator()), 300);
}

struct HostileCase {
    std::vector<std::string> Names; // added after a harmless entry
    const wchar_t* Shown;           // the entry the message names
};

TEST(ZipArchive, RefusesHostileNamesBeforeWritingAnything) {
    TTestFolder work;
    const fs::path parent = work / L"parent";
    const fs::path target = parent / L"target";
    // Absolute names that would land right beside the target folder.
    const std::string besideTarget = WideToUtf8((parent / L"escaped.txt").wstring());
    const std::string rooted = WideToUtf8((parent / L"escaped.txt").wstring().substr(2));
    const std::wstring besideTargetW = (parent / L"escaped.txt").wstring();
    const HostileCase cases[] = {
        {{"../escaped.txt"}, L"../escaped.txt"},
        {{"..\\escaped.txt"}, L"..\\escaped.txt"},
        {{"sub/../../escaped.txt"}, L"sub/../../escaped.txt"},
        {{besideTarget}, besideTargetW.c_str()},
        {{rooted}, L"\\"},
        {{"\\\\?\\" + besideTarget}, L"\\\\?\\"},
        {{"\\\\.\\" + besideTarget}, L"\\\\.\\"},
        {{"//localhost/c$/escaped.txt"}, L"//localhost/c$/escaped.txt"},
        {{"good.txt:stream"}, L"good.txt:stream"},
        {{"NUL.txt"}, L"NUL.txt"},
        {{"dir/com1"}, L"dir/com1"},
        {{"trailing."}, L"trailing."},
        {{"blank /x.txt"}, L"blank /x.txt"},
        // Unflagged names are read as CP437, which shows control bytes as symbols (0x07 as U+2022).
        {{"bell\x07.txt"}, L"bell\u2022.txt"},
        // A path that is a file for one entry and a folder for another, in any case.
        {{"clash", "CLASH/inner.txt"}, L"CLASH/inner.txt"},
        {{"Docs/x.txt", "docs"}, L"docs"},
    };
    for (const HostileCase& c : cases) {
        std::vector<TTestEntry> entries = {{"good.txt", "harmless"}, {"sub/fine.txt", "harmless"}};
        for (const std::string& name : c.Names) {
            entries.push_back({name, "hostile"});
        }
        fs::create_directories(parent);
        const std::wstring message = ErrorOf([&] { Extract(work, BuildArchive(entries), target); });
        EXPECT_EQ(message.rfind(std::wstring(L"The archive entry '") + c.Shown, 0), 0u) << message;
        EXPECT_TRUE(fs::is_empty(parent)) << "something was written for " << c.Names.back();
        EXPECT_EQ(Tree(work.Path()), (std::set<std::wstring>{L"archive.zip", L"parent/"})) << c.Names.back();
    }
}

// The offset of the central directory record of the entry Name.
size_t CentralRecord(const std::string& Zip, const std::string& Name) {
    for (size_t at = Zip.find("PK\1\2"); at != std::string::npos; at = Zip.find("PK\1\2", at + 4)) {
        if (Zip.compare(at + 46, Name.size(), Name) == 0) {
            return at;
        }
    }
    throw std::runtime_error("no central record for " + Name);
}

uint32_t Field32(const std::string& Zip, size_t At) {
    uint32_t value;
    std::memcpy(&value, Zip.data() + At, 4);
    return value;
}

void SetField32(std::string& Zip, size_t At, uint32_t Value) {
    std::memcpy(Zip.data() + At, &Value, 4);
}

struct CorruptionCase {
    const char* What;
    zip_int32_t Method;
    void (*Damage)(std::string& Zip);
    const wchar_t* Cause;
};

const std::string DamagedData = std::string("damaged entry data, ") + std::string(4000, 'x') + "!";

TEST(ZipArchive, RefusesCorruptEntriesAndRemovesTheirPartialFile) {
    // Central record fields: method at 10, CRC-32 at 16, compressed size at 20, uncompressed size at 24,
    // data offset at 42.
    const CorruptionCase cases[] = {
        {"a byte of stored data", ZIP_CM_STORE,
         [](std::string& zip) { zip[zip.find("damaged entry data") + 3] ^= 0x20; }, L"CRC-32 does not match"},
        {"the stored CRC", ZIP_CM_DEFLATE,
         [](std::string& zip) {
             const size_t record = CentralRecord(zip, "second.bin");
             SetField32(zip, record + 16, Field32(zip, record + 16) ^ 1);
         },
         L"CRC-32 does not match"},
        {"a declared size too big", ZIP_CM_STORE,
         [](std::string& zip) {
             const size_t record = CentralRecord(zip, "second.bin");
             SetField32(zip, record + 24, Field32(zip, record + 24) + 1);
         },
         L"is corrupt"},
        {"a declared size too small", ZIP_CM_DEFLATE,
         [](std::string& zip) {
             const size_t record = CentralRecord(zip, "second.bin");
             SetField32(zip, record + 24, Field32(zip, record + 24) - 1);
         },
         L"longer than the 4020 bytes"},
        {"garbled deflate data", ZIP_CM_DEFLATE,
         [](std::string& zip) {
             const size_t local = zip.find("second.bin") + 10; // the data follows the local name
             for (size_t i = 2; i < 12; ++i) {
                 zip[local + i] = '\xFF';
             }
         },
         L"is corrupt"},
        {"a compressed size beyond the archive", ZIP_CM_STORE,
         [](std::string& zip) {
             const size_t record = CentralRecord(zip, "second.bin");
             SetField32(zip, record + 20, 0x7FFFFFF0);
         },
         L"is corrupt"},
        {"a data offset beyond the archive", ZIP_CM_DEFLATE,
         [](std::string& zip) {
             const size_t record = CentralRecord(zip, "second.bin");
             SetField32(zip, record + 42, static_cast<uint32_t>(zip.size()) + 100);
         },
         L"is damaged: its data cannot be found in the archive"},

    };
    TTestFolder work;
    const fs::path target = work / L"target";
    for (const CorruptionCase& c : cases) {
        std::string zip = BuildArchive({{"first.txt", "fine", ZIP_CM_STORE}, {"second.bin", DamagedData, c.Method}});
        c.Damage(zip);
        fs::remove_all(target);
        const std::wstring message = ErrorOf([&] { Extract(work, zip, target); });
        EXPECT_EQ(message.rfind(L"The archive entry 'second.bin' ", 0), 0u) << c.What << ": " << message;
        EXPECT_NE(message.find(c.Cause), std::wstring::npos) << c.What << ": " << message;
        EXPECT_EQ(ReadFileBytes(target / L"first.txt"), "fine") << "entries before the bad one stay";
        EXPECT_FALSE(fs::exists(target / L"second.bin")) << c.What;
    }
}

TEST(ZipArchive, RefusesEntriesItCannotDecodeBeforeWritingAnything) {
    // Central record fields: general flags at 8 (bit 0: encrypted), method at 10.
    const CorruptionCase cases[] = {
        {"bzip2", ZIP_CM_DEFLATE, [](std::string& zip) { zip[CentralRecord(zip, "second.bin") + 10] = 12; },
         L"uses a compression method other than Stored or Deflate."},
        {"encryption", ZIP_CM_DEFLATE, [](std::string& zip) { zip[CentralRecord(zip, "second.bin") + 8] |= 1; },
         L"is encrypted."},
    };
    TTestFolder work;
    for (const CorruptionCase& c : cases) {
        std::string zip = BuildArchive({{"first.txt", "fine"}, {"second.bin", DamagedData, c.Method}});
        c.Damage(zip);
        const std::wstring message = ErrorOf([&] { Extract(work, zip, work / L"target"); });
        EXPECT_EQ(message, std::wstring(L"The archive entry 'second.bin' ") + c.Cause) << c.What;
        EXPECT_FALSE(fs::exists(work / L"target")) << c.What;
    }
}

struct BadArchiveCase {
    const char* What;
    std::string Bytes;
    const wchar_t* Message;
};

TEST(ZipArchive, RefusesFilesThatAreNoCompleteArchive) {
    const wchar_t* const truncated = L"The archive is truncated or damaged: no valid central directory was found.";
    const std::string valid = BuildArchive({{"one.txt", "one"}, {"two.txt", std::string(5000, 't')}});
    std::string noDirectory = valid;
    noDirectory.replace(valid.find("PK\1\2"), 4, "XXXX");
    std::string wrongCount = valid; // the end record counts one entry more than the directory holds
    const size_t end = valid.rfind("PK\5\6");
    wrongCount[end + 8] = wrongCount[end + 10] = 3;
    const BadArchiveCase cases[] = {
        {"cut in half", valid.substr(0, valid.size() / 2), truncated},
        {"cut in its end record", valid.substr(0, valid.size() - 5), truncated},
        {"a local header only", valid.substr(0, 30), truncated},
        {"a damaged central directory", noDirectory, truncated},
        {"a wrong entry count", wrongCount, L"The archive is damaged: its central directory is inconsistent."},
        {"text", "This is a text file, not an archive.\r\n", L"The file is not a ZIP archive."},
        {"empty", "", L"The file is not a ZIP archive."},
    };
    TTestFolder work;
    for (const BadArchiveCase& c : cases) {
        const std::wstring message = ErrorOf([&] { Extract(work, c.Bytes, work / L"target"); });
        EXPECT_EQ(message, c.Message) << c.What;
        EXPECT_FALSE(fs::exists(work / L"target")) << c.What;
    }
}

TEST(ZipArchive, ReadsZip64Archives) {
    // Every size and offset of this fixture is in the ZIP64 fields only (fixtures/make-zip64.py).
    TTestFolder work;
    const fs::path fixture = fs::path(FETCHORA_SOURCE_DIR) / L"tests/installer/fixtures/zip64.zip";
    const TUniqueFileHandle file = OpenArchive(fixture);
    TZipArchive archive(file.get());
    EXPECT_EQ(archive.EntryCount(), 2u);
    archive.ExtractAll((work / L"target").wstring());

    std::string hello;
    for (int i = 0; i < 40; ++i) {
        hello += "Hello from a ZIP64 archive.\r\n";
    }
    EXPECT_EQ(ReadFileBytes(work / L"target/zip64/hello.txt"), hello);
    EXPECT_EQ(ReadFileBytes(work / L"target/zip64/deeper/second.txt"), "second entry\r\n");
    // The archive holds 2021-06-15 10:20:30 as local time.
    std::tm local{};
    local.tm_year = 121;
    local.tm_mon = 5;
    local.tm_mday = 15;
    local.tm_hour = 10;
    local.tm_min = 20;
    local.tm_sec = 30;
    local.tm_isdst = -1;
    EXPECT_EQ(LastWriteTime(work / L"target/zip64/hello.txt"), std::mktime(&local));
}

TEST(ZipArchive, ReadsOnlyThroughTheCallersHandle) {
    TTestFolder work;
    const fs::path archivePath = work / L"archive.zip";
    WriteFileBytes(archivePath, BuildArchive({{"app/app.exe", "program"}, {"app/data.bin", NoiseBytes(700000, 3)}}));
    // No sharing at all: a second opening of the file by name would fail.
    for (const DWORD share : {DWORD(FILE_SHARE_READ), DWORD(0)}) {
        const TUniqueFileHandle file = OpenArchive(archivePath, share);
        // The caller has read the file through the handle to check it, so its pointer is at the end.
        std::vector<char> all(fs::file_size(archivePath));
        DWORD got = 0;
        ASSERT_TRUE(ReadFile(file.get(), all.data(), static_cast<DWORD>(all.size()), &got, nullptr));
        const fs::path target = work / (L"target" + std::to_wstring(share));
        {
            TZipArchive archive(file.get());
            archive.ExtractAll(target.wstring());
        }
        EXPECT_EQ(ReadFileBytes(target / L"app/app.exe"), "program") << "share mode " << share;
        EXPECT_EQ(fs::file_size(target / L"app/data.bin"), 700000u);
        LARGE_INTEGER size;
        EXPECT_TRUE(GetFileSizeEx(file.get(), &size)) << "the handle stays the caller's";
    }
}

TEST(ZipArchive, FailsOnTargetsItCannotWriteAndLeavesThem) {
    TTestFolder work;
    const fs::path target = work / L"target";
    fs::create_directories(target / L"folder.txt");
    WriteFileBytes(target / L"locked.txt", "in use");
    {
        // A running copy of the product holds its file open.
        const TUniqueFileHandle lock(CreateFileW((target / L"locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock);
        const std::wstring message = ErrorOf([&] { Extract(work, BuildArchive({{"locked.txt", "new"}}), target); });
        EXPECT_EQ(message.rfind(L"The archive entry 'locked.txt' could not be written to '", 0), 0u) << message;
    }
    EXPECT_EQ(ReadFileBytes(target / L"locked.txt"), "in use");

    const std::wstring message = ErrorOf([&] { Extract(work, BuildArchive({{"folder.txt", "new"}}), target); });
    EXPECT_EQ(message.rfind(L"The archive entry 'folder.txt' cannot replace the folder '", 0), 0u) << message;
    EXPECT_TRUE(fs::is_directory(target / L"folder.txt"));

    EXPECT_EQ(ErrorOf([&] {
                  Extract(work, BuildArchive({{"a.txt", "a"}}), L"");
              }),
              L"No folder was given to extract the archive into.");
}

} // namespace
