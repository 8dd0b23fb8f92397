// Vertex declarations.
#include "platform/d3d9/vertex_declaration.h"

#include <cstring>

#include "platform/d3d9/device.h"

namespace plat::d3d9 {

VertexDeclaration::VertexDeclaration(Device* device, const D3DVERTEXELEMENT9* elements,
                                     const VertexLayout& layout, DWORD fvf)
    : DeviceChild(device), m_layout(layout), m_fvf(fvf) {
    try {
        for (int n = 0; n < MAXD3DDECLLENGTH && elements[n].Stream != 0xFF; ++n)
            m_elements.push_back(elements[n]);
        m_elements.push_back(D3DVERTEXELEMENT9 D3DDECL_END());
    } catch (...) {
        DeviceRelease(device);  // the reference taken above; no object will give it back
        throw;
    }
}

HRESULT VertexDeclaration::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3DVertexDeclaration9) {
        *ppv = static_cast<IDirect3DVertexDeclaration9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT VertexDeclaration::GetDevice(IDirect3DDevice9** ppDevice) {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = m_device;
    m_device->AddRef();
    return S_OK;
}

HRESULT VertexDeclaration::GetDeclaration(D3DVERTEXELEMENT9* pElement, UINT* pNumElements) {
    if (!pNumElements) return D3DERR_INVALIDCALL;
    *pNumElements = UINT(m_elements.size());
    if (pElement) std::memcpy(pElement, m_elements.data(), m_elements.size() * sizeof(D3DVERTEXELEMENT9));
    return S_OK;
}

std::vector<D3DVERTEXELEMENT9> ElementsFromFvf(DWORD fvf) {
    std::vector<D3DVERTEXELEMENT9> out;
    VertexLayout layout;
    if (!LayoutFromFvf(fvf, layout)) return out;
    auto add = [&](const VertexLayout::Element& e, BYTE usage, BYTE index) {
        if (e.stream >= 0)
            out.push_back(D3DVERTEXELEMENT9{0, WORD(e.offset), e.type, D3DDECLMETHOD_DEFAULT, usage, index});
    };
    add(layout.position, layout.transformed ? D3DDECLUSAGE_POSITIONT : D3DDECLUSAGE_POSITION, 0);
    add(layout.normal, D3DDECLUSAGE_NORMAL, 0);
    add(layout.diffuse, D3DDECLUSAGE_COLOR, 0);
    add(layout.specular, D3DDECLUSAGE_COLOR, 1);
    for (int i = 0; i < 8; ++i) add(layout.tex[i], D3DDECLUSAGE_TEXCOORD, BYTE(i));
    out.push_back(D3DVERTEXELEMENT9 D3DDECL_END());
    return out;
}

}  // namespace plat::d3d9
