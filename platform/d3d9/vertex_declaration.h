// Vertex declarations: an element list and the layout the pipeline reads it by.
#pragma once

#include <vector>

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/pipeline/vertex_processing.h"

namespace plat::d3d9 {

class VertexDeclaration final : public DeviceChild<IDirect3DVertexDeclaration9> {
  public:
    // `fvf`: the FVF code the declaration was made from (0 for a declared element list).
    VertexDeclaration(Device* device, const D3DVERTEXELEMENT9* elements, const VertexLayout& layout,
                      DWORD fvf);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT GetDeclaration(D3DVERTEXELEMENT9* pElement, UINT* pNumElements) override;

    const VertexLayout& Layout() const { return m_layout; }
    DWORD Fvf() const { return m_fvf; }

  private:
    ~VertexDeclaration() override = default;
    std::vector<D3DVERTEXELEMENT9> m_elements;  // D3DDECL_END included
    VertexLayout m_layout;
    DWORD m_fvf;
};

// The element list of an FVF code (D3DDECL_END included); empty for invalid codes.
std::vector<D3DVERTEXELEMENT9> ElementsFromFvf(DWORD fvf);

}  // namespace plat::d3d9
