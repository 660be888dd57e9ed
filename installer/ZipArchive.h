// Extraction of a ZIP archive into a folder. The archive is read through a file handle that
// the caller already holds open, so the file the caller checked is the file extracted. Each
// entry is inflated straight into its file block by block: memory use stays the same whatever
// the size of the archive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct zip;

struct TExtractProgress {
    uint64_t EntriesDone = 0;
    uint64_t EntryCount = 0;
    uint64_t BytesDone = 0;  // uncompressed bytes written so far
    uint64_t BytesTotal = 0; // uncompressed size of all entries
};
// Called on the extracting thread for every block written and every entry done, in the
// order the work was done and shortly after it.
using TExtractProgressEvent = std::function<void(const TExtractProgress& Progress)>;

class TZipArchive {
public:
    // Reads the archive's directory through File (opened with GENERIC_READ). The handle stays
    // the caller's and must outlive this object; its file pointer is moved. Raises EError when
    // the file is no ZIP archive or is damaged or truncated.
    explicit TZipArchive(HANDLE File);
    ~TZipArchive();
    TZipArchive(const TZipArchive&) = delete;
    TZipArchive& operator=(const TZipArchive&) = delete;

    uint64_t EntryCount() const;

    // Extracts every entry below Folder, which is created with its parents when missing,
    // keeping the archive's folders and replacing existing files; modification times are
    // taken from the entries. Every entry is checked (name, compression, folder/file clashes)
    // before the first file is written, so an archive with a bad name leaves Folder as it was.
    // The files are written by a few threads side by side; of two entries with the same name
    // the later one is written. Raises EError naming the entry and the cause; the partly
    // written file of the failing entry is removed, the entries already extracted stay.
    void ExtractAll(const std::wstring& Folder, const TExtractProgressEvent& Progress = nullptr);

private:
    class TSource;
    // Opens the archive read through Source; raises EError as the constructor describes.
    static zip* Open(TSource& Source);
    struct TDiscard {
        void operator()(zip* Archive) const noexcept;
    };

    // Declared before the archive, which reads through it until it is discarded.
    std::unique_ptr<TSource> FSource;
    std::unique_ptr<zip, TDiscard> FArchive;
};
