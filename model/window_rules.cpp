#include "model/window_rules.h"
#include <cstring>

bool IsQuietSwitch(const char* argumentPart) {
    return argumentPart &&
           (std::strcmp(argumentPart, "/q") == 0 || std::strcmp(argumentPart, "/Q") == 0);
}

AutoRunDecision DecideAutoRun(const char* argumentPart, int autoCopyMode, int autoCopy) {
    if (IsQuietSwitch(argumentPart)) return {autoCopyMode == 2 && autoCopy == 1, true};
    return {autoCopyMode == 1 && autoCopy == 1, false};
}

static bool HasDestinationAndFiles(const AppSettings& settings, const FileTable& table) {
    return settings.destDir[0] != '\0' && table.count >= 1;
}

bool SetButtonEnabled(int dirty, const AppSettings& settings, const FileTable& table) {
    return dirty == 1 && HasDestinationAndFiles(settings, table);
}

bool RunButtonsEnabled(const AppSettings& settings, const FileTable& table) {
    return HasDestinationAndFiles(settings, table);
}

bool SelectFileEnabled(const FileTable& table) { return table.count < kMaxFiles; }

bool RestoresAtSessionEnd(bool visible, int autoCopyMode, int autoRestore, bool ending,
                          bool closingAppOnly) {
    return ending && !closingAppOnly && !visible && autoCopyMode != 0 && autoRestore == 1;
}

void MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight, int& x,
                         int& y) {
    x = (clientWidth - iconWidth + 1) / 2;
    y = (clientHeight - iconHeight + 1) / 2;
}

int ScaledColumnWidth(int width, int dpi) {
    if (dpi <= 0) return width;
    long long scaled = static_cast<long long>(width) * dpi;
    // Halves round away from zero.
    scaled += scaled < 0 ? -48 : 48;
    return static_cast<int>(scaled / 96);
}

namespace {
const char* StateText(Interrupted left) {
    switch (left) {
    case Interrupted::None:
        return "";
    case Interrupted::Copy:
        return "Copy";
    case Interrupted::Restore:
        return "Restore";
    case Interrupted::Unknown:
        break;
    }
    return "Unknown";
}
}  // namespace

std::string FormatState(const StateRecord& record) {
    std::string text = StateText(record.left);
    text += "\r\n";
    for (const ReportLine& line : record.report) {
        char digits[12];
        int n = 0;
        unsigned id = line.textId;
        do digits[n++] = static_cast<char>('0' + id % 10);
        while ((id /= 10) != 0 && n < 11);
        while (n > 0) text += digits[--n];
        text += '\t';
        text += line.text;
        text += "\r\n";
    }
    return text;
}

StateRecord ParseState(const std::string& text) {
    StateRecord record;
    size_t end = text.find('\n');
    std::string first = text.substr(0, end);
    if (!first.empty() && first.back() == '\r') first.pop_back();
    if (first == "Copy")
        record.left = Interrupted::Copy;
    else if (first == "Restore")
        record.left = Interrupted::Restore;
    else if (!first.empty() || end == std::string::npos)
        record.left = Interrupted::Unknown;  // cut or foreign: trust neither side
    while (end != std::string::npos) {
        size_t start = end + 1;
        end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab > 5) continue;
        unsigned id = 0;
        bool digits = true;
        for (size_t k = 0; k < tab; ++k) {
            if (line[k] < '0' || line[k] > '9') digits = false;
            id = id * 10 + static_cast<unsigned>(line[k] - '0');
        }
        if (digits) record.report.push_back({id, line.substr(tab + 1)});
    }
    return record;
}

Gate GateOperation(Interrupted left, bool copying, bool fromButton) {
    bool suspect = false;
    switch (left) {
    case Interrupted::None:
        return Gate::Run;
    case Interrupted::Copy:
        suspect = !copying;  // a Restore would put suspect copies over the originals
        break;
    case Interrupted::Restore:
        suspect = copying;  // a Copy would put suspect originals over the copies
        break;
    case Interrupted::Unknown:
        suspect = true;
        break;
    }
    if (!suspect) return Gate::Run;
    return fromButton ? Gate::Ask : Gate::Refuse;
}
