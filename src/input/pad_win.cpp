// Pads on Windows: the library's DirectInput joystick driver. DirectInput
// numbers an Xbox pad's buttons A 0, B 1, Back 6, Start 7, a PlayStation
// pad's Square 0, Cross 1, Circle 2, Share 8, Options 9; the d-pad is the
// point-of-view hat, the left stick the X and Y axes.
#include "input/pad.h"
#include "platform/desktop.h"

#define DIRECTINPUT_VERSION 0x0500  // the library's
#include <allegro.h>
#include <winalleg.h>
#include <objbase.h>
#include <dinput.h>

// Whether each pad the library will find is Sony's (USB vendor 054C), in
// DirectInput's order, which the library's own list of pads follows.
static bool sony[MAX_PADS];
static int listed = 0;

static BOOL CALLBACK list_pad(LPCDIDEVICEINSTANCEA pad, LPVOID) {
  if (listed < MAX_PADS) sony[listed++] = LOWORD(pad->guidProduct.Data1) == 0x054C;
  return DIENUM_CONTINUE;
}

// The same listing the library makes, so a pad plugged in is known before
// the library is asked; none listed, none installed.
static int list_pads() {
  listed = 0;
  IDirectInputA *input = nullptr;
  if (FAILED(CoCreateInstance(CLSID_DirectInput, nullptr, CLSCTX_INPROC_SERVER, IID_IDirectInputA,
                              reinterpret_cast<void **>(&input))))
    return 0;
  if (SUCCEEDED(input->Initialize(GetModuleHandle(nullptr), DIRECTINPUT_VERSION)))
    input->EnumDevices(DIDEVTYPE_JOYSTICK, list_pad, nullptr, DIEDFL_ATTACHEDONLY);
  input->Release();
  return listed;
}

// The library makes X and Y its first stick, and the hat its only stick
// without an analogue position.
static pad_layout layout_of(const JOYSTICK_INFO &j, bool from_sony) {
  pad_layout l;
  l.south = from_sony ? 1 : 0;
  l.east = from_sony ? 2 : 1;
  l.select = from_sony ? 8 : 6;
  l.start = from_sony ? 9 : 7;
  if (j.num_sticks > 0 && j.stick[0].num_axis >= 2 && (j.stick[0].flags & JOYFLAG_ANALOGUE))
    l.stick_x = {0, 0}, l.stick_y = {0, 1};
  for (int s = 0; s < j.num_sticks; s++)
    if (!(j.stick[s].flags & JOYFLAG_ANALOGUE)) l.hat_x = {s, 0}, l.hat_y = {s, 1};
  return l;
}

// Listing devices may take DirectInput a while: done only when Windows says
// a device came or went, never as a routine.
void find_pads() {
  if (!devices_changed.exchange(false)) return;
  remove_joystick();
  if (list_pads() == 0 || install_joystick(JOY_TYPE_DIRECTX) != 0) return;
  for (int n = 0; n < num_joysticks && n < MAX_PADS; n++) pad_layouts[n] = layout_of(joy[n], sony[n]);
}

// A pad pulled out: Windows says a device went, and the pads listed anew are fewer.
bool read_pads() {
  const int before = num_joysticks;
  find_pads();
  if (num_joysticks > 0) poll_joystick();
  return num_joysticks >= before;
}
