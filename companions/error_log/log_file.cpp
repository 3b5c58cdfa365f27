#include "log_file.h"

#include "scoped_handles.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

bool Seek(HANDLE file, uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

// Reads the file from `offset` to its end (`size`).
bool ReadFrom(HANDLE file, uint64_t offset, uint64_t size, std::string* content) {
    if (!Seek(file, offset)) {
        return false;
    }
    content->assign(static_cast<size_t>(size - offset), '\0');
    size_t done = 0;
    while (done < content->size()) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(content->size() - done, 1 << 20));
        DWORD got = 0;
        if (!ReadFile(file, &(*content)[done], want, &got, nullptr) || got == 0) {
            return false;
        }
        done += got;
    }
    return true;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, want, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string joined;
    for (const std::string& line : lines) {
        joined += line;
    }
    return joined;
}

// What the file holds now: from the memo when its size is the one this process left, else
// counted afresh.
bool Survey(HANDLE file, uint64_t bytes, LogFileMemo* memo, std::string* content) {
    if (memo->bytes == bytes) {
        return true;
    }
    if (!ReadFrom(file, 0, bytes, content)) {
        return false;
    }
    memo->bytes = bytes;
    memo->lines = CountLogLines(*content);
    memo->unended = !content->empty() && content->back() != '\n';
    return true;
}

int Append(HANDLE file, const std::vector<std::string>& lines, LogFileMemo* memo) {
    const std::string bytes = (memo->unended ? kLineEnd : "") + Joined(lines);
    if (!Seek(file, memo->bytes) || !WriteAll(file, bytes)) {
        return 0;
    }
    memo->bytes += bytes.size();
    memo->lines += lines.size();
    memo->unended = false;
    return 1;
}

int Rewrite(HANDLE file, const std::string& content, LogFileMemo* memo) {
    if (!Seek(file, 0) || !WriteAll(file, content) || !SetEndOfFile(file)) {
        return 0;
    }
    memo->bytes = content.size();
    memo->lines = CountLogLines(content);
    memo->unended = false;
    return 1;
}

int AddToOpenLog(HANDLE file, const std::vector<std::string>& lines, const LogBound& bound,
                 LogFileMemo* memo) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        return 0;
    }
    const uint64_t bytes = static_cast<uint64_t>(size.QuadPart);
    std::string content;
    if (bytes > bound.MaxBytes()) {
        // Not a log this library wrote, or one grown by other hands: only its newest part,
        // no more than the bound, is read and kept.
        const uint64_t from = bytes - bound.MaxBytes();
        if (!ReadFrom(file, from, bytes, &content)) {
            return 0;
        }
        return Rewrite(file, RotatedLog(content, true, lines, bound), memo);
    }
    if (!Survey(file, bytes, memo, &content)) {
        return 0;
    }
    const uint64_t endBytes = memo->unended ? sizeof(kLineEnd) - 1 : 0;
    if (FitsInLog(memo->lines, bytes + endBytes, lines, bound)) {
        return Append(file, lines, memo);
    }
    if (content.empty() && bytes > 0 && !ReadFrom(file, 0, bytes, &content)) {
        return 0;
    }
    return Rewrite(file, RotatedLog(content, false, lines, bound), memo);
}

} // namespace

int AddToLogFile(const char* path, const std::vector<std::string>& lines, const LogBound& bound,
                 LogFileMemo* memo) {
    // Others may read the log meanwhile, but not write it.
    UniqueFile file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        *memo = LogFileMemo();
        return 0;
    }
    const int added = AddToOpenLog(file.Get(), lines, bound, memo);
    if (!added) {
        *memo = LogFileMemo();
    }
    return added;
}
