// The connection procedure's operations on Windows: IP Helper, the registry and netsh.
#pragma once

#include <windows.h>

#include <string>

#include "NetPlatform.h"

namespace keplo {

// 8-bit text of a response in the system's ANSI code page (requests: AnsiText.h).
std::wstring FromAnsiText(const char* bytes, std::size_t count);

class WinNetPlatform final : public NetPlatform {
public:
    std::string ToAnsi(const std::wstring& text) override;
    std::uint32_t ReadAdapters(std::vector<AdapterInfo>& adapters) override;
    bool FindBestRoute(std::uint32_t destination, RouteInfo& route) override;
    bool AddAlias(std::uint32_t address, std::uint32_t mask, std::uint32_t interfaceIndex,
                  std::uint32_t& context) override;
    void DeleteAlias(std::uint32_t context) override;
    bool SendArp(std::uint32_t destination, HardwareAddress& answer) override;
    void FlushArpCache(std::uint32_t interfaceIndex) override;
    std::wstring ReadMachineString(const std::wstring& keyPath, const std::wstring& valueName) override;
    std::uint32_t RunHidden(const std::wstring& commandLine) override;
    std::uint32_t ReadInterfaceList(std::vector<InterfaceEntry>& entries) override;
    std::uint32_t ReleaseLease(const InterfaceEntry& entry) override;
    void RenewLease(const InterfaceEntry& entry) override;
    void Sleep(std::uint32_t milliseconds) override;
    std::uint32_t TickCount() override;

private:
    bool ResolveThroughNeighbourTable(std::uint32_t destination, HardwareAddress& answer);
};

} // namespace keplo
