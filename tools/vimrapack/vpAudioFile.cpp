#include "vpAudioFile.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstring>

namespace {

void Append(std::vector<uint8_t>* out, const ogg_page& page) {
  out->insert(out->end(), page.header, page.header + page.header_len);
  out->insert(out->end(), page.body, page.body + page.body_len);
}

void PutLE(std::vector<uint8_t>* out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> vpEncodeOggVorbis(const std::vector<std::vector<float>>& channels,
                                       int sampleRate, float quality, uint32_t serialNumber) {
  std::vector<uint8_t> out;
  if (channels.empty() || channels.size() > 2) return out;
  const size_t frames = channels[0].size();
  for (const auto& c : channels)
    if (c.size() != frames) return out;
  const int nch = int(channels.size());

  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, nch, sampleRate, quality) != 0) {
    vorbis_info_clear(&vi);
    return out;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_comment_add_tag(&vc, "TITLE", "vimra");
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, int(serialNumber));

  ogg_packet header, comments, code;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &code);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &code);
  ogg_page page;
  while (ogg_stream_flush(&os, &page) != 0) Append(&out, page);

  const size_t chunk = 1024;
  size_t done = 0;
  bool eos = false;
  while (!eos) {
    const size_t n = std::min(chunk, frames - done);
    if (n == 0) {
      vorbis_analysis_wrote(&vd, 0);
    } else {
      float** buffer = vorbis_analysis_buffer(&vd, int(n));
      for (int c = 0; c < nch; ++c)
        std::memcpy(buffer[c], channels[size_t(c)].data() + done, n * sizeof(float));
      vorbis_analysis_wrote(&vd, int(n));
      done += n;
    }
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet) == 1) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page) != 0) {
          Append(&out, page);
          if (ogg_page_eos(&page)) eos = true;
        }
      }
    }
  }
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

std::vector<uint8_t> vpEncodeWav16(const std::vector<std::vector<float>>& channels,
                                   int sampleRate) {
  std::vector<uint8_t> out;
  if (channels.empty()) return out;
  const size_t frames = channels[0].size();
  const uint32_t nch = uint32_t(channels.size());
  const uint32_t dataBytes = uint32_t(frames * nch * 2);
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  PutLE(&out, 36 + dataBytes, 4);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLE(&out, 16, 4);
  PutLE(&out, 1, 2);  // PCM
  PutLE(&out, nch, 2);
  PutLE(&out, uint32_t(sampleRate), 4);
  PutLE(&out, uint32_t(sampleRate) * nch * 2, 4);
  PutLE(&out, nch * 2, 2);
  PutLE(&out, 16, 2);
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLE(&out, dataBytes, 4);
  for (size_t i = 0; i < frames; ++i)
    for (uint32_t c = 0; c < nch; ++c) {
      const float v =
          std::fmax(-1.0f, std::fmin(1.0f, i < channels[c].size() ? channels[c][i] : 0.0f));
      PutLE(&out, uint32_t(uint16_t(int16_t(std::lround(v * 32767.0f)))), 2);
    }
  return out;
}
