#include "cli/ConsolePorts.h"

#include <chrono>

uint32_t CConsolePorts::GetTickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void CConsolePorts::ShowMessage(MessageKind kind, const std::string& strText, const std::string& strCaption) {
    if (kind == MessageKind::Error) {
        ++m_nErrors;
        m_strLastError = strText;
        m_strOut += "error: " + strText + "\n";
    } else if (!m_bQuiet) {
        // "File saved as ..." reads alone; a bare file name keeps its caption ("Saved.").
        m_strOut += (strCaption == "Tabulon" ? strText : strCaption + " " + strText) + "\n";
    }
}
