// The error dialog's text over error records whose members hold values of any type.
#include "app/procedures.hpp"
#include "errors/error_system.hpp"
#include "fuzz/require.hpp"
#include "runtime/output.hpp"
#include "runtime/runtime.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Reads values of any type from the fuzzer's bytes.
class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string text() {
        const std::size_t n = std::min<std::size_t>(byte() * 2u, size_ - at_);
        std::string t(reinterpret_cast<const char*>(data_) + at_, n);
        at_ += n;
        return t;
    }
    double number() {
        double d = 0;
        std::uint8_t raw[sizeof d] = {};
        for (auto& b : raw) {
            b = byte();
        }
        std::memcpy(&d, raw, sizeof d); // NaN, infinities and huge values too
        return d;
    }
    rt::Value value(int depth = 0) {
        switch (byte() % 9) {
        case 0:
            return rt::NIL;
        case 1:
        case 2:
            return rt::Value(text());
        case 3:
            return rt::Value(number());
        case 4:
            return rt::Value(static_cast<int>(byte()) - 128);
        case 5:
            return rt::Value((byte() & 1) != 0);
        case 6:
            return rt::Value(rt::Date{1900 + byte() * 2, 1 + byte() % 12, 1 + byte() % 28});
        case 7: {
            auto array = rt::makeArray();
            const int n = depth < 3 ? byte() % 5 : 0;
            for (int i = 0; i < n; ++i) {
                array->push_back(value(depth + 1));
            }
            return rt::Value(array);
        }
        default:
            if (byte() & 1) {
                return rt::Value(rt::makeError(byte(), byte(), text()));
            }
            return rt::Value(rt::makeBlock(
                "(B)FUZZ@0000", [](const std::vector<rt::Value>&) { return rt::Value(rt::NIL); }));
        }
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

bool prepared = [] {
    prepareErrorSysConstants();
    return true;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    auto record = rt::makeError(1, 0, "");
    const char* members[] = {"severity",  "subSystem", "subCode",    "description", "fileName",
                             "operation", "thread",    "cargo",      "genCode",     "osCode",
                             "args",      "canRetry",  "canDefault", "tries"};
    for (const char* member : members) {
        if (in.byte() & 1) {
            record->set(member, in.value());
        }
    }
    // A database session's message sometimes, as the handler puts it into cargo.
    if (in.byte() % 4 == 0) {
        record->set("cargo", rt::Value(rt::makeArray({in.value(), in.value(), in.value()})));
    }
    std::vector<std::string> before;
    for (const char* member : members) {
        before.push_back(rt::VAR2CHAR(record->get(member)));
    }

    const std::string message = ERRORMESSAGE(rt::Value(record));
    const auto& t = errorSysTexts();
    REQUIRE(message.rfind(t.error, 0) == 0 || message.rfind(t.warning, 0) == 0);
    // The record is only read.
    for (std::size_t i = 0; i < before.size(); ++i) {
        REQUIRE(rt::VAR2CHAR(record->get(members[i])) == before[i]);
    }
    return 0;
}
