// SimConnect's message records, handles and constants, as the client protocol lays them out.
// Shared by the module and by the bench's stand-in client library.
#pragma once

#include "Lib/FSX/GaugeAbi.h"

#include <cstdint>

namespace simconnect {

using HRESULT = std::int32_t;
using Handle = void*;
using DWORD = std::uint32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);

constexpr DWORD kUnused = 0xFFFFFFFFu;
constexpr DWORD kObjectIdUser = 0;
constexpr DWORD kDataTypeFloat64 = 4;

enum RecvId : DWORD {
    kRecvNull = 0,
    kRecvException = 1,
    kRecvOpen = 2,
    kRecvQuit = 3,
    kRecvEvent = 4,
};

struct Recv {
    DWORD size;
    DWORD version;
    DWORD id;
};

struct RecvException : Recv {
    DWORD exception;
    DWORD sendId;
    DWORD index;
};

struct RecvEvent : Recv {
    DWORD groupId;
    DWORD eventId;
    DWORD data;
};

using DispatchProc = void(ZV_STDCALL*)(Recv* data, DWORD size, void* context);

} // namespace simconnect
