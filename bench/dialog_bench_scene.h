// A dialog on a 640 x 480 software device, attached to the framework's device
// as the resource manager needs it, for the GUI benchmarks. A bench adds its
// controls between Open() and Start(); Finish() ends and begins a scene, which
// draws everything queued.
#pragma once

#include "common/kit/state/kit_state.h"
#include "common/kitgui/dialog.h"
#include "common/kitgui/dialog_resource_manager.h"
#include "tests/support/device_setup.h"

struct DialogBenchScene {
    HWND hwnd = nullptr;
    IDirect3D9* d3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    CKitDialogResourceManager manager;
    CKitDialog dialog;
    bool ready = false;

    // The window, the device and the dialog, no controls yet; false when no device opens.
    bool Open() {
        if (!tumbral_test::OpenWindowAndDevice(640, 480, false, hwnd, d3d, device)) return false;
        {
            // The manager's reset takes its state block from the framework's device.
            KitStateLock lock;
            KitCore().m_pD3D9Device = device;
        }
        dialog.Init(&manager, true);
        return true;
    }
    // The manager's device objects, then a scene begun; false when they cannot be made.
    bool Start() {
        if (FAILED(manager.OnCreateDevice(device)) || FAILED(manager.OnResetDevice())) return false;
        device->BeginScene();
        return true;
    }
    void Finish() { tumbral_test::FinishDrawing(device); }

    ~DialogBenchScene() {
        if (device) device->EndScene();
        manager.OnDeviceLost();
        manager.OnDeviceDestroyed();
        dialog.DeleteAllControls();
        manager.DetachDialog(&dialog);
        {
            KitStateLock lock;
            KitCore().m_pD3D9Device = nullptr;
        }
        if (device) device->Release();
        if (d3d) d3d->Release();
    }
};
