// The dialog resource manager: which registrations share a pool record, what
// the device hooks build and release (and in which order), the built-in skin,
// failures that must be traced and returned without leaking a device
// reference, and the ring of registered dialogs.
#include <gtest/gtest.h>

#include <vector>

#include "tests/common/kit/debug_capture.h"
#include "tests/common/kitgui/gui_fixture.h"
#include "common/kitgui/skin_image.h"
#include "platform/resource_script.h"

namespace {

using guitest::GuiTest;

const HMODULE kSkinModule = reinterpret_cast<HMODULE>(UINT_PTR(KIT_SKIN_MODULE_VALUE));

TEST_F(GuiTest, FontsShareARecordByFacePrefixWithoutCaseAndByHeightAndWeight) {
    const int arial = m_Manager.RegisterFont(L"Arial", 14, 400);
    EXPECT_EQ(m_Manager.RegisterFont(L"Arial", 14, 400), arial);
    EXPECT_EQ(m_Manager.RegisterFont(L"arial", 14, 400), arial);
    const int bold = m_Manager.RegisterFont(L"Arial", 14, 700);
    EXPECT_NE(bold, arial);
    EXPECT_NE(m_Manager.RegisterFont(L"Arial", 16, 400), arial);
    EXPECT_EQ(m_Manager.FontCount(), 3);

    // A stored face that merely begins with the given name matches it.
    CKitDialogResourceManager other;
    const int black = other.RegisterFont(L"Arial Black", 14, 400);
    EXPECT_EQ(other.RegisterFont(L"Arial", 14, 400), black);
    // ...but not the other way round.
    EXPECT_NE(other.RegisterFont(L"Arial Black Extra", 14, 400), black);
}

TEST_F(GuiTest, FileAndResourceTexturesAreSeparateRecords) {
    const int file = m_Manager.RegisterTexture(L"skin.dds");
    const int resource = m_Manager.RegisterTexture(L"skin.dds", nullptr);
    EXPECT_NE(file, resource);
    EXPECT_EQ(m_Manager.RegisterTexture(L"SKIN.DDS"), file);
    EXPECT_EQ(m_Manager.RegisterTexture(L"Skin.dds", nullptr), resource);
    // Identifiers match by number and module.
    const int skin = m_Manager.RegisterTexture(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), kSkinModule);
    EXPECT_EQ(m_Manager.RegisterTexture(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), kSkinModule), skin);
    EXPECT_NE(m_Manager.RegisterTexture(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), nullptr), skin);
    EXPECT_TRUE(m_Manager.PoolTextureAt(file)->bFromFile);
    EXPECT_FALSE(m_Manager.PoolTextureAt(skin)->bFromFile);
    EXPECT_EQ(m_Manager.PoolTextureAt(skin)->wResourceId, UINT(KIT_SKIN_RESOURCE_ID));
}

TEST_F(GuiTest, RecordsAreBuiltWithTheDeviceAndKeepTheirIndicesAcrossDestroyAndCreate) {
    ASSERT_NO_FATAL_FAILURE(OpenGuiDevice(64, 64));
    const int font0 = m_Manager.RegisterFont(L"Arial", 14, 400);
    const int font1 = m_Manager.RegisterFont(L"Courier New", 16, 400);
    const int skin = m_Manager.RegisterTexture(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), kSkinModule);
    const int none = m_Manager.RegisterTexture(L"");  // an empty file name builds nothing
    // Nothing is built before the device exists.
    EXPECT_EQ(m_Manager.PoolFontAt(font0)->pFont, nullptr);
    EXPECT_EQ(m_Manager.PoolTextureAt(skin)->pTex, nullptr);
    EXPECT_EQ(m_Manager.GetSpriteBatch(), nullptr);

    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(m_Manager.OnCreateDevice(m_pDevice), S_OK) << round;
        EXPECT_EQ(m_Manager.GetD3DDevice(), m_pDevice);
        EXPECT_NE(m_Manager.PoolFontAt(font0)->pFont, nullptr);
        EXPECT_NE(m_Manager.PoolFontAt(font1)->pFont, nullptr);
        EXPECT_NE(m_Manager.GetSpriteBatch(), nullptr);
        D3DXFONT_DESCW desc{};
        m_Manager.PoolFontAt(font1)->pFont->GetDescW(&desc);
        EXPECT_EQ(desc.Height, 16);
        EXPECT_STREQ(desc.FaceName, L"Courier New");
        const KitTextureSlot* pSkin = m_Manager.PoolTextureAt(skin);
        ASSERT_NE(pSkin->pTex, nullptr);
        EXPECT_EQ(pSkin->nTexWidth, 256u);
        EXPECT_EQ(pSkin->nTexHeight, 256u);
        EXPECT_EQ(m_Manager.PoolTextureAt(none)->pTex, nullptr);

        // Registered while the device exists: built at once.
        const int late = m_Manager.RegisterFont(L"DejaVu Sans", 12, 400);
        EXPECT_NE(m_Manager.PoolFontAt(late)->pFont, nullptr);

        ASSERT_EQ(m_Manager.OnResetDevice(), S_OK);
        EXPECT_NE(m_Manager.GetStateBlock(), nullptr);
        m_Manager.OnDeviceLost();
        EXPECT_EQ(m_Manager.GetStateBlock(), nullptr);
        m_Manager.OnDeviceDestroyed();
        EXPECT_EQ(m_Manager.GetD3DDevice(), nullptr);
        EXPECT_EQ(m_Manager.PoolFontAt(font0)->pFont, nullptr);
        EXPECT_EQ(m_Manager.PoolTextureAt(skin)->pTex, nullptr);
        EXPECT_EQ(m_Manager.GetSpriteBatch(), nullptr);
        EXPECT_EQ(tumbral_test::RefCount(m_pDevice), 1u) << "a device object survived OnDeviceDestroyed";
    }
    EXPECT_EQ(m_Manager.RegisterFont(L"Arial", 14, 400), font0);
}

TEST_F(GuiTest, AMissingTextureFileIsTracedAndStopsTheLaterBuildsWithoutLeaking) {
    ASSERT_NO_FATAL_FAILURE(OpenGuiDevice(64, 64));
    kittest::DebugCapture trace;
    const int missing = m_Manager.RegisterTexture(L"no_such_skin_file.dds");
    const int skin = m_Manager.RegisterTexture(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), kSkinModule);
    const HRESULT hr = m_Manager.OnCreateDevice(m_pDevice);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(trace.Text().find("KitFindMediaFileCch"), std::string::npos) << trace.Text();
    EXPECT_EQ(m_Manager.PoolTextureAt(missing)->pTex, nullptr);
    EXPECT_EQ(m_Manager.PoolTextureAt(skin)->pTex, nullptr) << "builds after the failure must not run";
    EXPECT_EQ(m_Manager.GetSpriteBatch(), nullptr);
    // CloseGuiDevice (in TearDown) checks that no reference was left.
}

TEST_F(GuiTest, AnUnreadableSkinIsTracedAndFails) {
    ASSERT_NO_FATAL_FAILURE(OpenGuiDevice(64, 64));
    const void* pBytes = nullptr;
    UINT nBytes = 0;
    ASSERT_TRUE(KitFindSkinImage(&pBytes, &nBytes));
    ASSERT_EQ(nBytes, KIT_SKIN_IMAGE_BYTES);

    // Replace the skin with bytes that are no image, then put it back.
    static const unsigned char kJunk[] = "DDS but not really an image";
    AddModuleResource(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), kJunk, sizeof kJunk);
    kittest::DebugCapture trace;
    m_Manager.RegisterTexture(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), kSkinModule);
    const HRESULT hr = m_Manager.OnCreateDevice(m_pDevice);
    AddModuleResource(MAKEINTRESOURCEW(KIT_SKIN_RESOURCE_ID), pBytes, nBytes);

    EXPECT_TRUE(FAILED(hr));
    EXPECT_NE(trace.Text().find("D3DXCreateTextureFromFileInMemoryEx"), std::string::npos) << trace.Text();
}

TEST_F(GuiTest, AResetWithoutACurrentDeviceFailsWithItsTrace) {
    kittest::DebugCapture trace;
    EXPECT_TRUE(FAILED(m_Manager.OnResetDevice()));
    EXPECT_NE(trace.Text().find("pd3dDevice->CreateStateBlock( D3DSBT_ALL, &m_pStateBlock )"),
              std::string::npos)
        << trace.Text();
    EXPECT_EQ(m_Manager.GetStateBlock(), nullptr);
}

TEST_F(GuiTest, TheMessageHookConsumesNothingWithoutAnInputMethodEditBox) {
    for (UINT msg : {WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN, WM_IME_COMPOSITION})
        EXPECT_FALSE(m_Manager.MsgProc(nullptr, msg, 'A', 0)) << msg;
}

// The ring as a list of dialogs, starting at `start` and following the next links.
std::vector<CKitDialog*> Ring(CKitDialog* start, int steps) {
    std::vector<CKitDialog*> ring{start};
    for (int i = 0; i < steps; ++i) ring.push_back(ring.back()->NextDialogInRing());
    return ring;
}

TEST_F(GuiTest, AttachedDialogsFormARingThatDetachingCloses) {
    CKitDialog d1, d2, d3;
    EXPECT_TRUE(m_Manager.AttachDialog(&d1));
    EXPECT_TRUE(m_Manager.AttachDialog(&d2));
    EXPECT_TRUE(m_Manager.AttachDialog(&d3));
    EXPECT_TRUE(m_Manager.AttachDialog(&d2));  // already there
    EXPECT_EQ(m_Manager.Dialogs().Length(), 3);
    EXPECT_EQ(Ring(&d1, 3), (std::vector<CKitDialog*>{&d1, &d2, &d3, &d1}));
    EXPECT_EQ(d1.PrevDialogInRing(), &d3);

    m_Manager.DetachDialog(&d2);
    EXPECT_EQ(Ring(&d1, 2), (std::vector<CKitDialog*>{&d1, &d3, &d1}));
    EXPECT_EQ(d3.PrevDialogInRing(), &d1);
    m_Manager.DetachDialog(&d1);
    EXPECT_EQ(Ring(&d3, 1), (std::vector<CKitDialog*>{&d3, &d3}));
    m_Manager.DetachDialog(&d1);  // not there: nothing happens
    EXPECT_EQ(m_Manager.Dialogs().Length(), 1);
    m_Manager.DetachDialog(&d3);
}

}  // namespace
