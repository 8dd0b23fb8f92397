// A Direct3D object for catalogue and matching tests: adapters, modes,
// device types and format support are plain data the test sets up, and the
// test-device creations are recorded. Lives on the stack; Release never deletes.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <cstring>

#include "platform/d3d9.h"

namespace cattest {

struct FakeDeviceType {
    D3DDEVTYPE type = D3DDEVTYPE_HAL;
    DWORD devCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    DWORD presentIntervals = D3DPRESENT_INTERVAL_ONE | D3DPRESENT_INTERVAL_IMMEDIATE;
    HRESULT capsResult = S_OK;    // GetDeviceCaps
    HRESULT createResult = S_OK;  // CreateDevice (no device is handed out)
};

struct FakeAdapter {
    std::string description = "Fake Card";
    D3DDISPLAYMODE desktop{1280, 1024, 60, D3DFMT_X8R8G8B8};
    std::vector<D3DDISPLAYMODE> modes{{640, 480, 60, D3DFMT_X8R8G8B8}, {1280, 1024, 60, D3DFMT_X8R8G8B8}};
    std::vector<FakeDeviceType> devices{FakeDeviceType{}};
    std::vector<D3DFORMAT> depthFormats{D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D32};
    std::vector<std::pair<D3DMULTISAMPLE_TYPE, DWORD>> samples{{D3DMULTISAMPLE_NONE, 1}};
    std::vector<std::pair<D3DFORMAT, D3DMULTISAMPLE_TYPE>> depthSampleConflicts;
    std::vector<D3DFORMAT> noBlending;  // back-buffer formats that fail the blending query
    // Adapter format / back-buffer format / windowed pairs the device type check accepts.
    std::function<bool(D3DFORMAT, D3DFORMAT, BOOL)> deviceTypeOk = [](D3DFORMAT af, D3DFORMAT bb,
                                                                      BOOL windowed) {
        if (windowed) return bb != D3DFMT_A2R10G10B10;
        return bb == af || (af == D3DFMT_X8R8G8B8 && bb == D3DFMT_A8R8G8B8);
    };
};

struct CreateCall {
    UINT adapter;
    D3DDEVTYPE type;
    HWND focus;
    DWORD flags;
    D3DPRESENT_PARAMETERS pp;
};

class FakeDirect3D : public IDirect3D9 {
  public:
    std::vector<FakeAdapter> adapters{FakeAdapter{}};
    std::vector<CreateCall> creates;
    ULONG refs = 1;

    HRESULT QueryInterface(REFIID, void** ppv) override {
        if (ppv) *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }

    UINT GetAdapterCount() override { return UINT(adapters.size()); }
    HRESULT GetAdapterIdentifier(UINT a, DWORD, D3DADAPTER_IDENTIFIER9* p) override {
        if (!Has(a) || !p) return D3DERR_INVALIDCALL;
        std::memset(p, 0, sizeof *p);
        std::memcpy(p->Description, adapters[a].description.data(),
                    std::min(adapters[a].description.size(), sizeof p->Description));
        return S_OK;
    }
    UINT GetAdapterModeCount(UINT a, D3DFORMAT f) override { return Has(a) ? UINT(ModesOf(a, f).size()) : 0; }
    HRESULT EnumAdapterModes(UINT a, D3DFORMAT f, UINT i, D3DDISPLAYMODE* p) override {
        if (!Has(a) || !p || i >= ModesOf(a, f).size()) return D3DERR_INVALIDCALL;
        *p = ModesOf(a, f)[i];
        return S_OK;
    }
    HRESULT GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* p) override {
        if (!Has(a) || !p) return D3DERR_INVALIDCALL;
        *p = adapters[a].desktop;
        return S_OK;
    }
    HRESULT CheckDeviceType(UINT a, D3DDEVTYPE t, D3DFORMAT af, D3DFORMAT bb, BOOL windowed) override {
        if (!Type(a, t)) return D3DERR_NOTAVAILABLE;
        return adapters[a].deviceTypeOk(af, bb, windowed) ? S_OK : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceFormat(UINT a, D3DDEVTYPE t, D3DFORMAT, DWORD usage, D3DRESOURCETYPE rtype,
                              D3DFORMAT f) override {
        if (!Type(a, t)) return D3DERR_NOTAVAILABLE;
        if (usage == D3DUSAGE_DEPTHSTENCIL && rtype == D3DRTYPE_SURFACE)
            return Listed(adapters[a].depthFormats, f);
        if (usage == D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING && rtype == D3DRTYPE_TEXTURE)
            return Listed(adapters[a].noBlending, f) == S_OK ? D3DERR_NOTAVAILABLE : S_OK;
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceMultiSampleType(UINT a, D3DDEVTYPE t, D3DFORMAT surface, BOOL, D3DMULTISAMPLE_TYPE ms,
                                       DWORD* pQuality) override {
        if (!Type(a, t)) return D3DERR_NOTAVAILABLE;
        for (auto [depth, type] : adapters[a].depthSampleConflicts)
            if (depth == surface && type == ms) return D3DERR_NOTAVAILABLE;
        for (auto [type, count] : adapters[a].samples) {
            if (type != ms) continue;
            if (pQuality) *pQuality = count;
            return S_OK;
        }
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDepthStencilMatch(UINT a, D3DDEVTYPE t, D3DFORMAT, D3DFORMAT, D3DFORMAT depth) override {
        return Type(a, t) ? Listed(adapters[a].depthFormats, depth) : D3DERR_NOTAVAILABLE;
    }
    HRESULT CheckDeviceFormatConversion(UINT, D3DDEVTYPE, D3DFORMAT, D3DFORMAT) override {
        return D3DERR_NOTAVAILABLE;
    }
    HRESULT GetDeviceCaps(UINT a, D3DDEVTYPE t, D3DCAPS9* p) override {
        const FakeDeviceType* d = Type(a, t);
        if (!d || !p) return D3DERR_NOTAVAILABLE;
        if (FAILED(d->capsResult)) return d->capsResult;
        std::memset(p, 0, sizeof *p);
        p->DeviceType = t;
        p->AdapterOrdinal = a;
        p->DevCaps = d->devCaps;
        p->PresentationIntervals = d->presentIntervals;
        return S_OK;
    }
    HMONITOR GetAdapterMonitor(UINT) override { return nullptr; }
    HRESULT CreateDevice(UINT a, D3DDEVTYPE t, HWND focus, DWORD flags, D3DPRESENT_PARAMETERS* pp,
                         IDirect3DDevice9** ppDevice) override {
        if (ppDevice) *ppDevice = nullptr;
        creates.push_back(CreateCall{a, t, focus, flags, pp ? *pp : D3DPRESENT_PARAMETERS{}});
        const FakeDeviceType* d = Type(a, t);
        return d ? d->createResult : D3DERR_NOTAVAILABLE;
    }

  private:
    bool Has(UINT a) const { return a < adapters.size(); }
    const FakeDeviceType* Type(UINT a, D3DDEVTYPE t) const {
        if (!Has(a)) return nullptr;
        for (const FakeDeviceType& d : adapters[a].devices)
            if (d.type == t) return &d;
        return nullptr;
    }
    std::vector<D3DDISPLAYMODE> ModesOf(UINT a, D3DFORMAT f) const {
        std::vector<D3DDISPLAYMODE> out;
        for (const D3DDISPLAYMODE& m : adapters[a].modes)
            if (m.Format == f) out.push_back(m);
        return out;
    }
    static HRESULT Listed(const std::vector<D3DFORMAT>& list, D3DFORMAT f) {
        return std::find(list.begin(), list.end(), f) != list.end() ? S_OK : D3DERR_NOTAVAILABLE;
    }
};

}  // namespace cattest
