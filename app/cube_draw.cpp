// Drawing the cube with the fixed-function pipeline: every subset of every
// cubie with its material and texture, selected cubies in bright white; and
// the light and render states that drawing relies on.
#include "app/puzzle_cube.h"

namespace {

D3DCOLORVALUE Colour(float r, float g, float b, float a) { return D3DCOLORVALUE{r, g, b, a}; }

// Emissive white saturates the lit colour, so a selected cubie shows its
// texture at full brightness, or plain white where it has none.
D3DMATERIAL9 HighlightMaterial() {
    D3DMATERIAL9 mtrl{};
    mtrl.Diffuse = Colour(1.0f, 1.0f, 1.0f, 1.0f);
    mtrl.Ambient = Colour(1.0f, 1.0f, 1.0f, 1.0f);
    mtrl.Specular = Colour(0.0f, 0.0f, 0.0f, 1.0f);
    mtrl.Emissive = Colour(1.0f, 1.0f, 1.0f, 1.0f);
    mtrl.Power = 2.0f;
    return mtrl;
}

}  // namespace

void CPuzzleCube::DrawCubies(IDirect3DDevice9* pd3dDevice) {
    if (!m_pMesh || !pd3dDevice) return;
    const D3DMATERIAL9 highlight = HighlightMaterial();
    for (int k = 0; k < kCubieCount; ++k) {
        const Cubie& c = m_aCubies[k];
        pd3dDevice->SetTransform(D3DTS_WORLD, &c.mWorld);
        for (size_t i = 0; i < m_Materials.size(); ++i) {
            pd3dDevice->SetMaterial(c.bSelected ? &highlight : &m_Materials[i]);
            pd3dDevice->SetTexture(0, m_Textures[i]);
            m_pMesh->DrawSubset(static_cast<DWORD>(i));
        }
    }
}

HRESULT CPuzzleCube::SetupLightAndStates(IDirect3DDevice9* pd3dDevice) {
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = Colour(1.0f, 1.0f, 1.0f, 1.0f);
    light.Specular = Colour(0.6f, 0.6f, 0.6f, 0.6f);
    light.Ambient = Colour(0.6f, 0.6f, 0.6f, 0.6f);
    light.Direction = D3DVECTOR{1.0f, 0.0f, 0.25f};

    HRESULT hr;
    if (FAILED(hr = pd3dDevice->SetLight(0, &light))) return hr;
    if (FAILED(hr = pd3dDevice->LightEnable(0, TRUE))) return hr;
    if (FAILED(hr = pd3dDevice->SetRenderState(D3DRS_NORMALIZENORMALS, TRUE))) return hr;
    if (FAILED(hr = pd3dDevice->SetRenderState(D3DRS_SPECULARENABLE, FALSE))) return hr;
    return pd3dDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
}
