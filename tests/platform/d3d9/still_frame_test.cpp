// Still frames through the device: a frame that repeats the last one keeps
// its bands, a moved quad redraws only its bands, a texture locked and written
// between frames is drawn again, and the window always shows the back buffer
// although presents hand it only the rows that changed.
#include <vector>

#include "tests/platform/d3d9/device_fixture.h"
#include "platform/backend.h"
#include "platform/d3d9/device.h"

namespace tumbral_test {
namespace {

class StillFrameTest : public DeviceTest {
  protected:
    static constexpr int kSize = 64;

    void SetUp() override {
        DeviceTest::SetUp();
        CreateSmallDevice(kSize, kSize);
        ASSERT_EQ(m_device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture, nullptr),
                  S_OK);
        Fill(0xFFFF0000);
    }

    void TearDown() override {
        if (m_texture) {
            m_device->SetTexture(0, nullptr);
            m_texture->Release();
        }
        DeviceTest::TearDown();
    }

    void Fill(D3DCOLOR color) {
        D3DLOCKED_RECT lr;
        ASSERT_EQ(m_texture->LockRect(0, &lr, nullptr, 0), S_OK);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = color;
        m_texture->UnlockRect(0);
    }

    // Clear, a textured quad from row `top`, an untextured one at the bottom, present.
    void Frame(float top) {
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0), S_OK);
        ASSERT_EQ(m_device->BeginScene(), S_OK);
        m_device->SetTexture(0, m_texture);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        FillRect(8, top, 56, top + 8, 0xFFFFFFFF);
        m_device->SetTexture(0, nullptr);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
        FillRect(4, 58, 60, 62, 0xFF00FF00);
        ASSERT_EQ(m_device->EndScene(), S_OK);
        ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    }

    plat::d3d9::DrawQueue& Queue() { return static_cast<plat::d3d9::Device*>(m_device)->Queue(); }

    // The window's frame equals the back buffer, pixel for pixel (reading it forgets what was drawn).
    void ExpectWindowShowsBackBuffer() {
        const auto* shown = Backend().Window(plat::NativeWindowOf(m_window));
        ASSERT_NE(shown, nullptr);
        ASSERT_EQ(shown->frameWidth, kSize);
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                ASSERT_EQ(shown->frame[size_t(y) * kSize + x] & 0xFFFFFF, Pixel(x, y) & 0xFFFFFF)
                    << x << "," << y;
    }

    IDirect3DTexture9* m_texture = nullptr;
};

TEST_F(StillFrameTest, ARepeatedFrameKeepsItsBandsAndAMovedQuadRedrawsOnlyItsOwn) {
    Frame(20);
    Frame(20);
    EXPECT_EQ(Queue().LastDrawnBands(), 0);
    EXPECT_GT(Queue().LastKeptBands(), 0);
    int kept = Queue().LastKeptBands();
    Frame(36);  // from rows 20..28 to 36..44: the top rows and the bottom quad stay as they are
    EXPECT_GT(Queue().LastDrawnBands(), 0);
    EXPECT_GT(Queue().LastKeptBands(), 0);
    EXPECT_EQ(Queue().LastDrawnBands() + Queue().LastKeptBands(), kept);
    // The window got only the changed rows and still shows the whole new frame.
    ExpectWindowShowsBackBuffer();
    EXPECT_EQ(Pixel(20, 22) & 0xFFFFFF, 0x102030u);
    EXPECT_EQ(Pixel(20, 40) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Pixel(20, 60) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(StillFrameTest, ATextureLockedAndWrittenBetweenFramesIsDrawnAgain) {
    Frame(8);
    Frame(8);
    EXPECT_EQ(Queue().LastDrawnBands(), 0);
    Fill(0xFF0000FF);
    Frame(8);
    EXPECT_EQ(Queue().LastKeptBands(), 0);
    EXPECT_GT(Queue().LastDrawnBands(), 0);
    ExpectWindowShowsBackBuffer();
    EXPECT_EQ(Pixel(20, 12) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(StillFrameTest, NothingIsKeptWhenTurnedOff) {
    Queue().SetReuse(false);
    Frame(8);
    Frame(8);
    EXPECT_EQ(Queue().LastKeptBands(), 0);
    ExpectWindowShowsBackBuffer();
}

}  // namespace
}  // namespace tumbral_test
