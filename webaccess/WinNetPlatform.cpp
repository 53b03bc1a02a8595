#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>

#include "WinNetPlatform.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "AnsiText.h"
#include "Ipv4Text.h"
#include "WinHandles.h"

namespace keplo {

namespace {

// How long the neighbour-table counterpart of an ARP request waits for an answer; about
// what an ARP request itself takes to give up.
constexpr DWORD kNeighbourWaitMs = 3000;
constexpr DWORD kNeighbourPollMs = 100;
constexpr u_short kDiscardPort = 9;

// The first read of the interface list offers this many bytes.
constexpr ULONG kInterfaceListFirstBytes = 264;

std::string BoundedText(const char* text, std::size_t capacity)
{
    return std::string(text, std::find(text, text + capacity, '\0'));
}

IPAddr ToNetworkOrder(std::uint32_t address)
{
    return htonl(address);
}

bool IsUsableHardwareAddress(const BYTE* bytes, DWORD length)
{
    return length > 0 &&
           std::any_of(bytes, bytes + std::min<DWORD>(length, MAXLEN_PHYSADDR), [](BYTE b) { return b != 0; });
}

// A complete entry for `destination` in the system's neighbour table, if there is one.
bool LookupNeighbour(std::uint32_t destination, HardwareAddress& answer)
{
    ULONG size = 0;
    if (GetIpNetTable(nullptr, &size, FALSE) != ERROR_INSUFFICIENT_BUFFER || size == 0)
        return false;
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IPNETTABLE*>(buffer.data());
    if (GetIpNetTable(table, &size, FALSE) != NO_ERROR)
        return false;
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_IPNETROW& row = table->table[i];
        if (row.dwAddr != ToNetworkOrder(destination))
            continue;
        if (row.dwType == MIB_IPNET_TYPE_INVALID || !IsUsableHardwareAddress(row.bPhysAddr, row.dwPhysAddrLen))
            continue;
        answer.fill(0);
        std::copy_n(row.bPhysAddr, std::min<DWORD>(row.dwPhysAddrLen, 8), answer.begin());
        return true;
    }
    return false;
}

// One datagram makes the system resolve the address's hardware address, as an ARP
// request would; the discard port keeps it meaningless to the receiver.
void ProvokeResolution(std::uint32_t destination)
{
    Socket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket)
        return;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(kDiscardPort);
    target.sin_addr.s_addr = ToNetworkOrder(destination);
    const char probe = 0;
    sendto(socket.Get(), &probe, 1, 0, reinterpret_cast<const sockaddr*>(&target), sizeof target);
}

} // namespace

std::wstring FromAnsiText(const char* bytes, std::size_t count)
{
    if (count == 0)
        return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(count), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(count), result.data(), length);
    return result;
}

std::string WinNetPlatform::ToAnsi(const std::wstring& text)
{
    // A text the code page cannot hold exactly is no address; best fit could make it one.
    std::string bytes;
    return ToAnsiExact(text, bytes) ? bytes : std::string();
}

std::uint32_t WinNetPlatform::ReadAdapters(std::vector<AdapterInfo>& adapters)
{
    ULONG size = sizeof(IP_ADAPTER_INFO);
    std::vector<unsigned char> buffer(size);
    DWORD result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    if (result == ERROR_BUFFER_OVERFLOW) {
        buffer.resize(size);
        result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (result != NO_ERROR)
        return result;

    adapters.clear();
    for (const IP_ADAPTER_INFO* entry = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); entry;
         entry = entry->Next) {
        AdapterInfo adapter;
        adapter.index = entry->Index;
        adapter.type = entry->Type;
        const UINT length = std::min<UINT>(entry->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH);
        adapter.hardware.assign(entry->Address, entry->Address + length);
        const std::string name = BoundedText(entry->AdapterName, sizeof entry->AdapterName);
        adapter.name = FromAnsiText(name.data(), name.size());
        adapter.dhcpEnabled = entry->DhcpEnabled;
        for (const IP_ADDR_STRING* address = &entry->IpAddressList; address; address = address->Next) {
            adapter.addresses.push_back({BoundedText(address->IpAddress.String, sizeof address->IpAddress.String),
                                         BoundedText(address->IpMask.String, sizeof address->IpMask.String)});
        }
        adapters.push_back(std::move(adapter));
    }
    return 0;
}

bool WinNetPlatform::FindBestRoute(std::uint32_t destination, RouteInfo& route)
{
    MIB_IPFORWARDROW row{};
    if (GetBestRoute(ToNetworkOrder(destination), 0, &row) != NO_ERROR)
        return false;
    route.interfaceIndex = row.dwForwardIfIndex;
    route.type = row.dwForwardType;
    return true;
}

bool WinNetPlatform::AddAlias(std::uint32_t address, std::uint32_t mask, std::uint32_t interfaceIndex,
                              std::uint32_t& context)
{
    ULONG nteContext = 0;
    ULONG nteInstance = 0;
    if (AddIPAddress(ToNetworkOrder(address), ToNetworkOrder(mask), interfaceIndex, &nteContext, &nteInstance) !=
        NO_ERROR)
        return false;
    context = nteContext;
    return true;
}

void WinNetPlatform::DeleteAlias(std::uint32_t context)
{
    DeleteIPAddress(context);
}

bool WinNetPlatform::SendArp(std::uint32_t destination, HardwareAddress& answer)
{
    answer.fill(0);
    ULONG hardware[2] = {};
    ULONG length = sizeof hardware;
    const DWORD result = SendARP(ToNetworkOrder(destination), 0, hardware, &length);
    if (result == NO_ERROR) {
        const auto* bytes = reinterpret_cast<const BYTE*>(hardware);
        std::copy_n(bytes, std::min<ULONG>(length, sizeof hardware), answer.begin());
        return length > 0;
    }
    // Platforms without ARP requests (Wine) still resolve addresses for their own traffic.
    if (result == ERROR_NOT_SUPPORTED)
        return ResolveThroughNeighbourTable(destination, answer);
    return false;
}

bool WinNetPlatform::ResolveThroughNeighbourTable(std::uint32_t destination, HardwareAddress& answer)
{
    // An ARP request for one of the PC's own addresses is answered by its adapter.
    std::vector<AdapterInfo> adapters;
    if (ReadAdapters(adapters) == 0) {
        for (const AdapterInfo& adapter : adapters) {
            for (const AdapterAddress& address : adapter.addresses) {
                if (ParseIpv4(address.address) != destination)
                    continue;
                std::copy_n(adapter.hardware.begin(), std::min<std::size_t>(adapter.hardware.size(), 8),
                            answer.begin());
                return !adapter.hardware.empty();
            }
        }
    }
    if (LookupNeighbour(destination, answer))
        return true;
    ProvokeResolution(destination);
    for (DWORD waited = 0; waited < kNeighbourWaitMs; waited += kNeighbourPollMs) {
        ::Sleep(kNeighbourPollMs);
        if (LookupNeighbour(destination, answer))
            return true;
    }
    return false;
}

void WinNetPlatform::FlushArpCache(std::uint32_t interfaceIndex)
{
    // Where flushing is not supported the cache simply stays; the ARP answer still decides.
    FlushIpNetTable(interfaceIndex);
}

std::wstring WinNetPlatform::ReadMachineString(const std::wstring& keyPath, const std::wstring& valueName)
{
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
        return {};
    wchar_t value[128] = {}; // 256 bytes, as much as a connection name may take
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
        ERROR_SUCCESS)
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return {};
    const std::size_t count = std::min<std::size_t>(size / sizeof(wchar_t), std::size(value));
    return std::wstring(value, std::find(value, value + count, L'\0'));
}

std::uint32_t WinNetPlatform::RunHidden(const std::wstring& commandLine)
{
    std::wstring mutableLine = commandLine; // CreateProcessW may write into the command line
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return GetLastError();
    KernelHandle process(info.hProcess);
    KernelHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    return 0;
}

std::uint32_t WinNetPlatform::ReadInterfaceList(std::vector<InterfaceEntry>& entries)
{
    entries.clear();
    ULONG size = kInterfaceListFirstBytes;
    std::vector<unsigned char> buffer(size);
    DWORD result = GetInterfaceInfo(reinterpret_cast<IP_INTERFACE_INFO*>(buffer.data()), &size);
    if (result == ERROR_INSUFFICIENT_BUFFER) {
        buffer.resize(size);
        result = GetInterfaceInfo(reinterpret_cast<IP_INTERFACE_INFO*>(buffer.data()), &size);
    }
    if (result == ERROR_NO_DATA)
        return 0; // no IPv4 interface: an empty list
    if (result != NO_ERROR)
        return result;
    const auto* info = reinterpret_cast<const IP_INTERFACE_INFO*>(buffer.data());
    for (LONG i = 0; i < info->NumAdapters; ++i) {
        const IP_ADAPTER_INDEX_MAP& map = info->Adapter[i];
        entries.push_back({map.Index, std::wstring(map.Name, std::find(map.Name, map.Name + MAX_ADAPTER_NAME, L'\0'))});
    }
    return 0;
}

namespace {

IP_ADAPTER_INDEX_MAP ToIndexMap(const InterfaceEntry& entry)
{
    IP_ADAPTER_INDEX_MAP map{};
    map.Index = entry.index;
    const std::size_t count = std::min<std::size_t>(entry.name.size(), MAX_ADAPTER_NAME - 1);
    std::copy_n(entry.name.begin(), count, map.Name);
    return map;
}

} // namespace

std::uint32_t WinNetPlatform::ReleaseLease(const InterfaceEntry& entry)
{
    IP_ADAPTER_INDEX_MAP map = ToIndexMap(entry);
    return IpReleaseAddress(&map);
}

void WinNetPlatform::RenewLease(const InterfaceEntry& entry)
{
    IP_ADAPTER_INDEX_MAP map = ToIndexMap(entry);
    IpRenewAddress(&map);
}

void WinNetPlatform::Sleep(std::uint32_t milliseconds)
{
    ::Sleep(milliseconds);
}

std::uint32_t WinNetPlatform::TickCount()
{
    return GetTickCount();
}

} // namespace keplo
