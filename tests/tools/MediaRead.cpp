#include "MediaRead.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <png.h>

#include <cmath>

namespace {

struct Decoder {
  AVCodecContext* codec = nullptr;
  ~Decoder() { avcodec_free_context(&codec); }
  bool Open(const AVStream* stream) {
    const AVCodec* c = avcodec_find_decoder(stream->codecpar->codec_id);
    codec = c ? avcodec_alloc_context3(c) : nullptr;
    return codec && avcodec_parameters_to_context(codec, stream->codecpar) >= 0 &&
           avcodec_open2(codec, c, nullptr) >= 0;
  }
};

void TakeVideo(AVFrame* frame, const AVStream* stream, MediaInfo& info) {
  SwsContext* sws = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), info.width,
                                   info.height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
  if (!sws) return;
  std::vector<unsigned char> rgb(static_cast<std::size_t>(info.width) * info.height * 3);
  uint8_t* data[1] = {rgb.data()};
  const int stride[1] = {info.width * 3};
  sws_scale(sws, frame->data, frame->linesize, 0, frame->height, data, stride);
  sws_freeContext(sws);
  info.frames.push_back(std::move(rgb));
  const std::int64_t pts = frame->best_effort_timestamp;
  info.frameTimes.push_back(pts == AV_NOPTS_VALUE ? -1.0 : pts * av_q2d(stream->time_base));
}

void TakeAudio(AVFrame* frame, const AVStream* stream, MediaInfo& info) {
  if (frame->format != AV_SAMPLE_FMT_FLTP && frame->format != AV_SAMPLE_FMT_FLT) return;
  const std::int64_t pts = frame->best_effort_timestamp;
  if (pts != AV_NOPTS_VALUE) {
    const double start = pts * av_q2d(stream->time_base);
    const std::size_t at = start > 0 ? static_cast<std::size_t>(std::llround(start * info.audioRate)) : 0;
    if (info.audio.size() < at) info.audio.resize(at, 0.0f);
  }
  const int channels = frame->ch_layout.nb_channels;
  for (int i = 0; i < frame->nb_samples; ++i) {
    float sum = 0;
    for (int c = 0; c < channels; ++c) {
      sum += frame->format == AV_SAMPLE_FMT_FLTP ? reinterpret_cast<const float*>(frame->extended_data[c])[i]
                                                 : reinterpret_cast<const float*>(frame->data[0])[i * channels + c];
    }
    info.audio.push_back(sum / static_cast<float>(channels));
  }
}

bool Drain(Decoder& d, AVFrame* frame, const AVStream* stream, MediaInfo& info, bool video) {
  for (;;) {
    const int code = avcodec_receive_frame(d.codec, frame);
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
    if (code < 0) return false;
    if (video)
      TakeVideo(frame, stream, info);
    else
      TakeAudio(frame, stream, info);
    av_frame_unref(frame);
  }
}

}  // namespace

bool ReadPng(const std::string& path, int& width, int& height, std::vector<unsigned char>& rgb) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

bool ReadMedia(const std::string& path, MediaInfo& info, bool decode) {
  info = MediaInfo();
  av_log_set_level(AV_LOG_ERROR);
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return false;
  bool ok = avformat_find_stream_info(input, nullptr) >= 0;
  info.format = input->iformat->name;
  info.duration = input->duration > 0 ? input->duration / static_cast<double>(AV_TIME_BASE) : 0;
  const int v = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const int a = av_find_best_stream(input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  ok = ok && v >= 0;
  Decoder vd, ad;
  if (ok) {
    const AVStream* s = input->streams[v];
    info.videoCodec = avcodec_get_name(s->codecpar->codec_id);
    info.width = s->codecpar->width;
    info.height = s->codecpar->height;
    info.fps = s->avg_frame_rate.den ? av_q2d(s->avg_frame_rate) : av_q2d(s->r_frame_rate);
    ok = !decode || vd.Open(s);
  }
  if (ok && a >= 0) {
    const AVStream* s = input->streams[a];
    info.audioCodec = avcodec_get_name(s->codecpar->codec_id);
    info.audioRate = s->codecpar->sample_rate;
    ok = !decode || ad.Open(s);
  }
  if (ok && decode) {
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    while (ok && av_read_frame(input, packet) >= 0) {
      Decoder* d = packet->stream_index == v ? &vd : packet->stream_index == a ? &ad : nullptr;
      if (d && avcodec_send_packet(d->codec, packet) >= 0)
        ok = Drain(*d, frame, input->streams[packet->stream_index], info, d == &vd);
      av_packet_unref(packet);
    }
    avcodec_send_packet(vd.codec, nullptr);
    ok = ok && Drain(vd, frame, input->streams[v], info, true);
    if (a >= 0) {
      avcodec_send_packet(ad.codec, nullptr);
      ok = ok && Drain(ad, frame, input->streams[a], info, false);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
  avformat_close_input(&input);
  return ok;
}
