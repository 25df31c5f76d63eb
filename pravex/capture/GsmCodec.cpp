#include "pravex/capture/GsmCodec.h"

#include <cstring>

extern "C" {
#include <gsm.h>
}

struct CGsmCodec::Impl {
  gsm decoder = nullptr;
  gsm encoder = nullptr;
};

CGsmCodec::CGsmCodec() : m_impl(std::make_unique<Impl>()) {
  m_impl->decoder = gsm_create();
}

CGsmCodec::~CGsmCodec() {
  if (m_impl->decoder) gsm_destroy(m_impl->decoder);
  if (m_impl->encoder) gsm_destroy(m_impl->encoder);
}

bool CGsmCodec::IsValid() const { return m_impl->decoder != nullptr; }

bool CGsmCodec::DecodeFrame(const BYTE* frame, short* samples) {
  if (!m_impl->decoder || !frame || !samples) return false;
  gsm_byte in[kFrameBytes];
  std::memcpy(in, frame, kFrameBytes);
  if (gsm_decode(m_impl->decoder, in, samples) != 0) {
    std::memset(samples, 0, kDecodedFrameBytes);
    return false;
  }
  return true;
}

void CGsmCodec::EncodeFrame(const short* samples, BYTE* frame) {
  if (!m_impl->encoder) m_impl->encoder = gsm_create();
  if (!m_impl->encoder || !samples || !frame) return;
  gsm_signal in[kFrameSamples];
  std::memcpy(in, samples, kDecodedFrameBytes);
  gsm_encode(m_impl->encoder, in, frame);
}
