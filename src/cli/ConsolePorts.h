#pragma once

#include "doc/DocPorts.h"

#include <string>

// The document's ports on the command line: a steady clock, and messages
// collected as text for the file's report (errors always, confirmations
// unless quiet).
class CConsolePorts : public ITickSource, public IMessageSink {
  public:
    CConsolePorts(std::string& strOut, bool bQuiet) : m_strOut(strOut), m_bQuiet(bQuiet) {}

    uint32_t GetTickCount() override;
    void ShowMessage(MessageKind kind, const std::string& strText, const std::string& strCaption) override;

    int GetErrorCount() const { return m_nErrors; }
    // The text of the last error message, without "error: ".
    const std::string& GetLastError() const { return m_strLastError; }
    DocPorts Ports() { return DocPorts{this, this, nullptr, nullptr}; }

  private:
    std::string& m_strOut;
    bool m_bQuiet;
    int m_nErrors = 0;
    std::string m_strLastError;
};
