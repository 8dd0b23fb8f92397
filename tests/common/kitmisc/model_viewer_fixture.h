// A model-viewer camera placed as the application places it (eye 100 units in
// front of the origin, a 640x480 back buffer), its messages coming from a test
// window, and the view of its first frame.
#pragma once

#include <gtest/gtest.h>

#include "tests/common/kitmisc/camera_test_window.h"
#include "common/kitmisc/model_viewer_camera.h"

class ModelViewerCameraTest : public ::testing::Test {
  protected:
    CModelViewerCamera cam;
    CameraTestWindow window{[this](HWND h, UINT m, WPARAM w, LPARAM l) { cam.ProcessMessage(h, m, w, l); }};
    D3DXMATRIX startView;

    void SetUp() override {
        const D3DXVECTOR3 eye(0, 0, -100), target(0, 0, 0);
        cam.SetEyeAndTarget(&eye, &target);
        cam.SetViewportSize(640, 480, 0.9f);
        cam.Advance(0.02f);
        startView = *cam.ViewMatrix();
    }
};
