#include "csvwriter.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include <QIODevice>
#include <QStringList>

namespace veltrano {

namespace {
constexpr std::size_t kBufferBytes = 1 << 20;
constexpr std::int64_t kBlockRows = 1 << 15;

char* useDecimal(char* begin, char* end, char decimal) {
    if (decimal != '.')
        for (char* p = begin; p != end; ++p)
            if (*p == '.') {
                *p = decimal;
                break;
            }
    return end;
}
} // namespace

CsvStyle CsvStyle::of(const QLocale& locale) {
    if (locale.decimalPoint() == QStringLiteral(","))
        return {';', ','};
    return {',', '.'};
}

namespace {
// The shortest text of a float, written without std::to_chars where that is quick to do
// exactly: normal values from 2^-37 to 2^23 (every time the exports write, in any unit, over
// months) whose shortest form is not the exponent form. The digits are the shortest that read
// back to the float, the one nearest to it where there are several, as std::to_chars picks
// them; the rounding interval is worked out in whole numbers.
using u128 = unsigned __int128;
constexpr int kFastMinExponent = -60; // of the float's 24-bit significand
constexpr int kFastMaxExponent = -1;

constexpr u128 power10(int p) {
    u128 r = 1;
    while (p-- > 0)
        r *= 10;
    return r;
}
// floor(log10 w) for the width w of the rounding interval of m * 2^q: 2^q, or 3 * 2^(q-2)
// where the gap below is half the gap above (m a power of two).
constexpr int floorLog10Width(int q, bool narrowBelow) {
    const u128 c = narrowBelow ? 3 : 4;
    int p = 0;
    while (c * power10(p) < (u128(1) << (2 - q)))
        ++p;
    return -p;
}
constexpr auto kWidthScale = [] {
    std::array<std::array<std::int8_t, 2>, kFastMaxExponent - kFastMinExponent + 1> t{};
    for (int q = kFastMinExponent; q <= kFastMaxExponent; ++q)
        for (int n = 0; n < 2; ++n)
            t[std::size_t(q - kFastMinExponent)][std::size_t(n)] =
                std::int8_t(floorLog10Width(q, n == 1));
    return t;
}();
constexpr auto kPowers10 = [] {
    std::array<std::uint64_t, 20> t{};
    for (int i = 0; i < 20; ++i)
        t[std::size_t(i)] = std::uint64_t(power10(i));
    return t;
}();
// ceil(2^64 / 10^i): (x * r) >> 64 is x / 10^i for every 32-bit x.
constexpr auto kReciprocals = [] {
    std::array<std::uint64_t, 20> t{};
    for (int i = 1; i < 20; ++i)
        t[std::size_t(i)] = std::uint64_t(((u128(1) << 64) - 1) / power10(i) + 1);
    return t;
}();
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Exactly `width` digits of v, with leading zeros.
char* putDigits(char* out, std::uint32_t v, int width) {
    char* p = out + width;
    while (p - out >= 2) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (v % 100), 2);
        v /= 100;
    }
    if (p != out)
        *out = char('0' + v % 10);
    return out + width;
}

char* shortestByLibrary(char* out, float value, char decimal) {
    const auto r = std::to_chars(out, out + kMaxNumberChars, value);
    return useDecimal(out, r.ptr, decimal);
}
} // namespace

char* putShortest(char* out, float value, char decimal) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = int(bits >> 23) & 0xFF;
    const int q = biased - 150;
    if (biased == 0 || q < kFastMinExponent || q > kFastMaxExponent)
        return shortestByLibrary(out, value, decimal);
    // value = m * 2^q; the numbers below are the interval's ends and the value itself, times
    // 10^-k and over 2^s, k chosen so that the interval is 1 to 10 units wide.
    const std::uint32_t fraction = bits & 0x7FFFFF;
    const std::uint64_t m = fraction | 0x800000;
    const bool narrowBelow = fraction == 0 && biased > 1;
    const int s = 2 - q;
    int k = kWidthScale[std::size_t(q - kFastMinExponent)][narrowBelow ? 1 : 0];
    const std::uint64_t scale = kPowers10[std::size_t(-k)];
    const u128 low = u128(4 * m - (narrowBelow ? 1 : 2)) * scale;
    const u128 high = u128(4 * m + 2) * scale;
    const u128 middle = u128(4 * m) * scale;
    const bool endsReadBack = (m & 1) == 0; // a tie reads back to the even significand
    const auto inside = [&](std::uint64_t c) {
        const u128 x = u128(c) << s;
        return endsReadBack ? (x >= low && x <= high) : (x > low && x < high);
    };
    std::uint64_t digits;
    const std::uint64_t tens = std::uint64_t(high >> s) / 10;
    if (inside(tens * 10)) {
        // The only multiple of ten inside: one digit fewer, and fewer still for its zeros.
        digits = tens;
        ++k;
        while (digits % 10 == 0) {
            digits /= 10;
            ++k;
        }
    } else {
        // All candidates have the same length: the nearest, a tie to even.
        const std::uint64_t below = std::uint64_t(middle >> s);
        const u128 rest = middle - (u128(below) << s);
        const u128 half = u128(1) << (s - 1);
        std::uint64_t c = (rest > half || (rest == half && (below & 1))) ? below + 1 : below;
        if (!inside(c))
            c = c == below ? below + 1 : below;
        digits = c;
    }
    const int n = 1 + (digits >= 10) + (digits >= 100) + (digits >= 1000) + (digits >= 10000) +
                  (digits >= 100000) + (digits >= 1000000) + (digits >= 10000000) +
                  (digits >= 100000000) + (digits >= 1000000000);
    const int exponent = k + n - 1;
    const int fixedLength = k >= 0 ? n + k : exponent >= 0 ? n + 1 : 1 - exponent + n;
    const int exponentLength = n + (n > 1 ? 1 : 0) + 2 + (exponent <= -100 ? 3 : 2);
    if (exponentLength < fixedLength)
        return shortestByLibrary(out, value, decimal);
    if (bits >> 31)
        *out++ = '-';
    if (k >= 0) {
        out = putDigits(out, std::uint32_t(digits), n);
        std::memset(out, '0', std::size_t(k));
        return out + k;
    }
    const auto whole = std::uint32_t((u128(digits) * kReciprocals[std::size_t(-k)]) >> 64);
    out = putDigits(out, whole, exponent >= 0 ? exponent + 1 : 1);
    *out++ = decimal;
    return putDigits(out, std::uint32_t(digits - whole * kPowers10[std::size_t(-k)]), -k);
}

char* putShortest(char* out, double value, char decimal) {
    const auto r = std::to_chars(out, out + kMaxNumberChars, value);
    return useDecimal(out, r.ptr, decimal);
}

namespace {
char* putHundredths(char* out, std::int64_t k, char decimal) {
    if (k < 0) {
        *out++ = '-';
        k = -k;
    }
    out = std::to_chars(out, out + 24, k / 100).ptr;
    const int frac = int(k % 100);
    *out++ = decimal;
    *out++ = char('0' + frac / 10);
    *out++ = char('0' + frac % 10);
    return out;
}
} // namespace

char* putTwoDecimals(char* out, long double value, char decimal) {
    if (!std::isfinite(value))
        return out;
    const long double hundredths = rintl(value * 100.0L);
    if (fabsl(hundredths) >= 1e18L) // far beyond any measured value
        return putShortest(out, double(value), decimal);
    return putHundredths(out, static_cast<std::int64_t>(hundredths), decimal);
}

char* putTwoDecimals(char* out, float value, char decimal) {
    const double x = double(value) * 100.0;
    if (!(std::fabs(x) < 0x1p52))
        return std::isfinite(x) ? putShortest(out, value, decimal) : out;
    // Adding and taking away 2^52 rounds to a whole number, halves to even.
    const double whole = x >= 0 ? (x + 0x1p52) - 0x1p52 : (x - 0x1p52) + 0x1p52;
    return putHundredths(out, static_cast<std::int64_t>(whole), decimal);
}

char* putInteger(char* out, std::int64_t value) {
    return std::to_chars(out, out + 24, value).ptr;
}

QByteArray csvField(const QString& text, char separator) {
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(separator) && !bytes.contains('"') && !bytes.contains('\n') &&
        !bytes.contains('\r'))
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

CsvWriter::CsvWriter(QIODevice& device, CsvStyle style)
    : device_(device), style_(style), buffer_(new char[kBufferBytes]), capacity_(kBufferBytes) {}

CsvWriter::~CsvWriter() = default;

void CsvWriter::byteOrderMark() {
    append("\xEF\xBB\xBF", 3);
}

void CsvWriter::text(const QString& field) {
    const QByteArray bytes = csvField(field, style_.separator);
    append(bytes.constData(), std::size_t(bytes.size()));
}

void CsvWriter::textRow(const QStringList& fields) {
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            append(&style_.separator, 1);
        text(fields[i]);
    }
    append("\n", 1);
}

void CsvWriter::append(const char* data, std::size_t size) {
    if (capacity_ - used_ < size)
        flush();
    if (size > capacity_) { // only a field larger than the whole buffer
        if (!failed_ && !writeAll(device_, data, qint64(size))) {
            failed_ = true;
            error_ = device_.errorString();
        }
        return;
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
}

void CsvWriter::flush() {
    // A short write is followed by another, which says why the device cannot go on.
    if (used_ > 0 && !failed_ && !writeAll(device_, buffer_.get(), qint64(used_))) {
        failed_ = true;
        error_ = device_.errorString();
    }
    used_ = 0;
}

namespace {
// One formatting thread: it formats blocks k, k + n, k + 2n ... of the n lanes into a few
// buffers of its own, and waits while the writer has not taken them yet. Standard threads and
// locks, whose order ThreadSanitizer can follow.
class Lane {
public:
    static constexpr std::int64_t kDepth = 2; // buffers per lane

    void run(const RowFormat& format, std::int64_t first, std::int64_t step, std::int64_t blocks,
             std::int64_t rows, std::size_t maxRowBytes) {
        thread_ = std::thread([=, this, &format] {
            for (std::int64_t j = 0; first + j * step < blocks; ++j) {
                {
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [&] { return stop_ || j - taken_ < kDepth; });
                    if (stop_)
                        return;
                }
                Buffer& buffer = buffers_[j % kDepth];
                QString failure;
                try {
                    if (!buffer.bytes)
                        buffer.bytes.reset(new char[std::size_t(kBlockRows) * maxRowBytes]);
                    const std::int64_t from = (first + j * step) * kBlockRows;
                    const std::int64_t to = std::min(rows, from + kBlockRows);
                    buffer.size =
                        std::size_t(format(buffer.bytes.get(), from, to) - buffer.bytes.get());
                } catch (const std::bad_alloc&) {
                    failure = QStringLiteral("te weinig geheugen");
                } catch (const std::exception& e) {
                    failure = QString::fromLocal8Bit(e.what());
                }
                const bool ok = failure.isNull();
                {
                    std::lock_guard lock(mutex_);
                    failed_ = !ok;
                    failure_ = failure;
                    formatted_ = j + 1;
                }
                changed_.notify_all();
                if (!ok)
                    return;
            }
        });
    }

    // The lane's j-th block, once formatted; null when formatting failed.
    const char* wait(std::int64_t j, std::size_t& size) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return formatted_ > j || failed_; });
        if (failed_ && formatted_ <= j)
            return nullptr;
        size = buffers_[j % kDepth].size;
        return buffers_[j % kDepth].bytes.get();
    }
    // Why formatting failed.
    QString failure() {
        std::lock_guard lock(mutex_);
        return failure_;
    }
    void taken(std::int64_t j) {
        {
            std::lock_guard lock(mutex_);
            taken_ = j + 1;
        }
        changed_.notify_all();
    }
    void stop() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        changed_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }
    ~Lane() { stop(); }

private:
    struct Buffer {
        std::unique_ptr<char[]> bytes;
        std::size_t size = 0;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t formatted_ = 0;
    std::int64_t taken_ = 0;
    bool stop_ = false;
    bool failed_ = false;
    QString failure_;
    Buffer buffers_[kDepth];
    std::thread thread_;
};
} // namespace

void writeRows(CsvWriter& writer, std::int64_t rows, std::size_t maxRowBytes,
               const RowFormat& format, const WriteControl& control) {
    if (rows <= kBlockRows) {
        for (std::int64_t from = 0; from < rows; from += 1024) {
            const std::int64_t to = std::min(rows, from + 1024);
            writer.commit(format(writer.reserve(std::size_t(to - from) * maxRowBytes), from, to));
        }
        return;
    }
    const std::int64_t blocks = (rows + kBlockRows - 1) / kBlockRows;
    const std::int64_t count =
        std::clamp<std::int64_t>(std::thread::hardware_concurrency(), 1, blocks);
    // Stopped and joined on every way out, before the buffers go.
    std::vector<std::unique_ptr<Lane>> lanes;
    for (std::int64_t k = 0; k < count; ++k) {
        lanes.push_back(std::make_unique<Lane>());
        lanes.back()->run(format, k, count, blocks, rows, maxRowBytes);
    }
    for (std::int64_t b = 0; b < blocks && !writer.failed(); ++b) {
        if (control.stopRequested()) {
            writer.fail(writeCancelledText());
            break;
        }
        Lane& lane = *lanes[std::size_t(b % count)];
        std::size_t size = 0;
        const char* bytes = lane.wait(b / count, size);
        if (!bytes) {
            writer.fail(lane.failure());
            break;
        }
        writer.append(bytes, size);
        lane.taken(b / count);
        control.progress(double(b + 1) / double(blocks));
    }
}

void CsvWriter::fail(const QString& why) {
    if (!failed_) {
        failed_ = true;
        error_ = why;
    }
}

bool CsvWriter::finish() {
    flush();
    return !failed_;
}

} // namespace veltrano
