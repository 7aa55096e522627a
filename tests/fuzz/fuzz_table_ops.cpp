// Sequences of table operations (append, delete, ticks, closing holes) decoded from the
// input, checked after every step against a plain vector. A first byte may also start
// from an arbitrary table, as a damaged settings file or a stray caller could leave it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/file_table.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct Row {
    std::string path;
    int32_t copy, restore;
};

bool Terminated(const char* buf, size_t size) { return std::memchr(buf, '\0', size) != nullptr; }

void CheckInvariant(const FileTable& t) {
    FUZZ_CHECK(t.count >= 0 && t.count <= kMaxFiles);
    for (int k = 0; k <= kMaxFiles; ++k) {
        const FileEntry& e = t.entries[k];
        FUZZ_CHECK(Terminated(e.path, kPathSize));
        if (k < t.count)
            FUZZ_CHECK(e.path[0] != '\0');
        else
            FUZZ_CHECK(e.path[0] == '\0' && e.copy == 0 && e.restore == 0);
    }
}

void CheckModel(const FileTable& t, const std::vector<Row>& model) {
    CheckInvariant(t);
    FUZZ_CHECK(static_cast<size_t>(t.count) == model.size());
    for (size_t k = 0; k < model.size(); ++k) {
        const FileEntry& e = t.entries[k];
        FUZZ_CHECK(model[k].path == e.path);
        FUZZ_CHECK(model[k].copy == e.copy && model[k].restore == e.restore);
    }
}

std::string MakePath(FuzzedDataProvider& in) {
    // Short names collide and keep the table busy; a few run to the full 259 bytes.
    if (in.ConsumeIntegralInRange<int>(0, 15) == 0)
        return std::string(kPathSize - 1,
                           static_cast<char>('a' + in.ConsumeIntegralInRange<int>(0, 25)));
    std::string s = in.ConsumeRandomLengthString(12);
    return s.c_str();
}

int32_t MakeTick(FuzzedDataProvider& in) {
    static const int32_t kTicks[] = {0, 1, 2, -1, INT32_MIN};
    return kTicks[in.ConsumeIntegralInRange<int>(0, 4)];
}

void RandomTable(FuzzedDataProvider& in, FileTable& t) {
    for (int k = 0; k <= kMaxFiles; ++k) {
        FileEntry& e = t.entries[k];
        std::string raw =
            in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, kPathSize - 1));
        std::memset(e.path, 0x5A, kPathSize);
        std::memcpy(e.path, raw.data(), raw.size());
        e.path[raw.size()] = '\0';  // may hold earlier zeros: ends at the first
        e.copy = in.ConsumeIntegral<int32_t>();
        e.restore = in.ConsumeIntegral<int32_t>();
    }
    // Slot 32 may be dirty too, but nothing writes past it.
    t.count = in.ConsumeIntegral<int32_t>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    FileTable t;
    ResetTable(t);
    std::vector<Row> model;

    if (in.ConsumeIntegralInRange<int>(0, 3) == 0) {
        // Arbitrary table: deleting and ticking must stay inside it; closing the holes
        // then brings back the invariant with the used slots in their order.
        RandomTable(in, t);
        const FileTable before = t;
        const int i = in.ConsumeIntegralInRange<int>(-2, kMaxFiles + 2);
        const bool deleted = DeleteEntry(t, i);
        FUZZ_CHECK(deleted == (i >= 0 && i < before.count && i < kMaxFiles));
        if (!deleted) FUZZ_CHECK(std::memcmp(&before, &t, sizeof t) == 0);
        SetCopyTick(t, in.ConsumeIntegralInRange<int>(-2, kMaxFiles + 2), in.ConsumeBool());
        for (int k = 0; k < kMaxFiles; ++k)
            if (t.entries[k].path[0] != '\0')
                model.push_back({t.entries[k].path, t.entries[k].copy, t.entries[k].restore});
        CloseHoles(t);
        CheckModel(t, model);
    }

    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0: {  // append
            FileEntry e{};
            const std::string path = MakePath(in);
            std::memcpy(e.path, path.c_str(), path.size() + 1);
            e.copy = MakeTick(in);
            e.restore = MakeTick(in);
            const bool expected = model.size() < kMaxFiles && !path.empty();
            FUZZ_CHECK(AppendEntry(t, e) == expected);
            if (expected) model.push_back({path, e.copy, e.restore});
            break;
        }
        case 1: {  // delete
            const int i = in.ConsumeIntegralInRange<int>(-2, kMaxFiles + 2);
            const bool expected = i >= 0 && static_cast<size_t>(i) < model.size();
            FUZZ_CHECK(DeleteEntry(t, i) == expected);
            if (expected) model.erase(model.begin() + i);
            break;
        }
        case 2:
        case 3: {  // ticks
            const int i = in.ConsumeIntegralInRange<int>(-2, kMaxFiles + 2);
            const bool on = in.ConsumeBool();
            const bool copy = in.ConsumeBool();
            if (copy)
                SetCopyTick(t, i, on);
            else
                SetRestoreTick(t, i, on);
            if (i >= 0 && static_cast<size_t>(i) < model.size())
                (copy ? model[i].copy : model[i].restore) = on ? 1 : 0;
            break;
        }
        case 4:  // closing holes on a sound table changes nothing
            CloseHoles(t);
            break;
        case 5: {  // holes punched as a hand-edited file leaves them, then closed
            const uint32_t mask = in.ConsumeIntegral<uint32_t>();
            std::vector<Row> kept;
            for (size_t k = 0; k < model.size(); ++k) {
                if (mask & (1u << k)) {
                    t.entries[k].path[0] = '\0';
                    t.entries[k].copy = 0;
                    t.entries[k].restore = 0;
                } else {
                    kept.push_back(model[k]);
                }
            }
            model = kept;
            t.count = in.ConsumeIntegralInRange<int32_t>(-1, kMaxFiles + 1);
            CloseHoles(t);
            break;
        }
        }
        CheckModel(t, model);
    }
    return 0;
}
