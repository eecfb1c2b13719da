// The one documented Kloss code (Novabeam 100 projection TV, "OFF") follows
// no known protocol: it is played as stored in its Pronto capture at
// 38029 Hz, its first frame and then one frame of the form the capture
// repeats. It has no fields.

#include "synth/ir_encoders.h"

namespace {

// clang-format off
constexpr int32_t kFirstFrameUs[] = {
    131, -710, 158, -158, 158, -158, 158, -158, 158, -158, 158, -158, 158, -421, 158, -158,
    158, -158, 158, -158, 158, -158, 158, -158, 158, -710, 158, -363275,
};
constexpr int32_t kRepeatFrameUs[] = {
    158, -710, 158, -158, 158, -421, 158, -421, 158, -421, 158, -421, 158, -421, 158, -158,
    158, -158, 158, -158, 158, -158, 158, -158, 158, -710, 158, -363275,
};
// clang-format on

}  // namespace

void encodeKlossRaw(const IrFields& /*fields*/, TimingBuilder* out) {
  for (int32_t us : kFirstFrameUs) out->send(us);
  for (int32_t us : kRepeatFrameUs) out->send(us);
}
