#include "VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

struct Graph {
  AVFilterGraph* graph = nullptr;
  AVFilterContext* source = nullptr;
  AVFilterContext* palette = nullptr;  // second source (the palette frame)
  AVFilterContext* sink = nullptr;
  ~Graph() { avfilter_graph_free(&graph); }
};

}  // namespace

struct CVideoEncoder::State {
  Settings settings;
  std::string path, partial;
  AVFormatContext* out = nullptr;
  bool fileOpen = false;
  bool headerWritten = false;
  bool finished = false;
  AVCodecContext* video = nullptr;
  AVStream* videoStream = nullptr;
  AVCodecContext* audio = nullptr;
  AVStream* audioStream = nullptr;
  SwsContext* sws = nullptr;
  SwrContext* swr = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVFrame* frame = nullptr;    // video frame in the encoder's format
  AVFrame* rgb = nullptr;      // GIF: top-down blue-green-red input of the filters
  AVFrame* sound = nullptr;    // one audio frame for the encoder
  AVFrame* palette = nullptr;  // GIF: the clip's palette
  AVPacket* packet = nullptr;
  std::int64_t videoPts = 0;
  std::int64_t audioPts = 0;
  Graph palettePass, usePass;

  ~State() {
    avcodec_free_context(&video);
    avcodec_free_context(&audio);
    sws_freeContext(sws);
    swr_free(&swr);
    if (fifo) av_audio_fifo_free(fifo);
    av_frame_free(&frame);
    av_frame_free(&rgb);
    av_frame_free(&sound);
    av_frame_free(&palette);
    av_packet_free(&packet);
    if (out) {
      if (fileOpen) avio_closep(&out->pb);
      avformat_free_context(out);
    }
    if (!finished && !partial.empty()) ::unlink(partial.c_str());
  }

  bool OpenVideo(std::string& error);
  bool OpenAudio(std::string& error);
  bool MakePaletteGraph(std::string& error);
  bool MakeUseGraph(std::string& error);
  bool Send(AVCodecContext* codec, AVStream* stream, AVFrame* input, std::string& error);
  bool FillRgb(const BYTE* pixels, std::size_t stride);
  bool EncodeAudioFrames(bool flush, std::string& error);
  bool DrainUseGraph(std::string& error);
};

CVideoEncoder::CVideoEncoder() = default;

CVideoEncoder::~CVideoEncoder() = default;

void CVideoEncoder::Abandon() { m.reset(); }

bool CVideoEncoder::NeedsPalettePass() const { return m && m->settings.format == Format::Gif; }

bool CVideoEncoder::Open(const std::string& path, const Settings& settings, std::string& error) {
  av_log_set_level(AV_LOG_ERROR);
  m = std::make_unique<State>();
  m->settings = settings;
  if (settings.format == Format::Gif) m->settings.rate = 0;
  m->path = path;
  m->partial = path + ".part";
  const char* muxer = settings.format == Format::Mp4 ? "mp4" : settings.format == Format::Webm ? "webm" : "gif";
  if (settings.width <= 0 || settings.height <= 0 || !settings.fps) {
    error = "bad video size or frame rate";
    return false;
  }
  int code = avformat_alloc_output_context2(&m->out, nullptr, muxer, m->partial.c_str());
  if (code < 0 || !m->out) {
    error = std::string("cannot set up the ") + muxer + " writer: " + AvError(code);
    return false;
  }
  m->packet = av_packet_alloc();
  m->frame = av_frame_alloc();
  if (!m->packet || !m->frame || !m->OpenVideo(error)) return false;
  if (m->settings.rate && !m->OpenAudio(error)) return false;
  code = avio_open(&m->out->pb, m->partial.c_str(), AVIO_FLAG_WRITE);
  if (code < 0) {
    error = "cannot create " + path + ": " + AvError(code);
    return false;
  }
  m->fileOpen = true;
  AVDictionary* options = nullptr;
  if (settings.format == Format::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
  code = avformat_write_header(m->out, &options);
  av_dict_free(&options);
  if (code < 0) {
    error = "cannot write " + path + ": " + AvError(code);
    return false;
  }
  m->headerWritten = true;
  if (settings.format == Format::Gif) return m->MakePaletteGraph(error);
  return true;
}

bool CVideoEncoder::State::OpenVideo(std::string& error) {
  const Format format = settings.format;
  const char* name = format == Format::Mp4 ? "libx264" : format == Format::Webm ? "libvpx-vp9" : "gif";
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  if (!codec) {
    error = std::string("the ") + name + " encoder is not available";
    return false;
  }
  video = avcodec_alloc_context3(codec);
  videoStream = avformat_new_stream(out, nullptr);
  if (!video || !videoStream) {
    error = "out of memory";
    return false;
  }
  video->width = settings.width;
  video->height = settings.height;
  video->time_base = AVRational{1, static_cast<int>(settings.fps)};
  video->framerate = AVRational{static_cast<int>(settings.fps), 1};
  video->sample_aspect_ratio = AVRational{1, 1};
  video->pix_fmt = format == Format::Gif ? AV_PIX_FMT_PAL8 : AV_PIX_FMT_YUV420P;
  video->thread_count = 0;
  if (format != Format::Gif) {
    // Limited-range BT.601, as the colour conversion below writes it.
    video->colorspace = AVCOL_SPC_SMPTE170M;
    video->color_primaries = AVCOL_PRI_SMPTE170M;
    video->color_trc = AVCOL_TRC_SMPTE170M;
    video->color_range = AVCOL_RANGE_MPEG;
    video->gop_size = static_cast<int>(settings.fps) * 10;
  }
  if (format == Format::Mp4) {
    av_opt_set(video->priv_data, "preset", settings.preset.empty() ? "superfast" : settings.preset.c_str(), 0);
    av_opt_set_double(video->priv_data, "crf", settings.crf >= 0 ? std::min(settings.crf, 51) : 20, 0);
  } else if (format == Format::Webm) {
    video->bit_rate = 0;
    av_opt_set_int(video->priv_data, "crf", settings.crf >= 0 ? settings.crf : 32, 0);
    av_opt_set(video->priv_data, "deadline", "realtime", 0);
    av_opt_set_int(video->priv_data, "cpu-used", 8, 0);
    av_opt_set_int(video->priv_data, "row-mt", 1, 0);
  }
  if (out->oformat->flags & AVFMT_GLOBALHEADER) video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int code = avcodec_open2(video, codec, nullptr);
  if (code < 0) {
    error = std::string("cannot start the ") + name + " encoder: " + AvError(code);
    return false;
  }
  avcodec_parameters_from_context(videoStream->codecpar, video);
  videoStream->time_base = video->time_base;
  videoStream->avg_frame_rate = video->framerate;
  if (format == Format::Gif) {
    rgb = av_frame_alloc();
    if (!rgb) return false;
    rgb->format = AV_PIX_FMT_BGR24;
    rgb->width = settings.width;
    rgb->height = settings.height;
    return av_frame_get_buffer(rgb, 0) >= 0;
  }
  frame->format = video->pix_fmt;
  frame->width = settings.width;
  frame->height = settings.height;
  if (av_frame_get_buffer(frame, 0) < 0) return false;
  sws = sws_getContext(settings.width, settings.height, AV_PIX_FMT_BGR24, settings.width, settings.height,
                       AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (!sws) error = "cannot set up the colour conversion";
  return sws != nullptr;
}

bool CVideoEncoder::State::OpenAudio(std::string& error) {
  const bool opus = settings.format == Format::Webm;
  const AVCodec* codec = avcodec_find_encoder_by_name(opus ? "libopus" : "aac");
  if (!codec) {
    error = opus ? "the Opus encoder is not available" : "the AAC encoder is not available";
    return false;
  }
  audio = avcodec_alloc_context3(codec);
  audioStream = avformat_new_stream(out, nullptr);
  if (!audio || !audioStream) return false;
  const int channels = settings.channels >= 2 ? 2 : 1;
  av_channel_layout_default(&audio->ch_layout, channels);
  // Opus runs at 48 kHz; AAC keeps the capture's rate where it has one for it.
  int rate = 48000;
  if (!opus && codec->supported_samplerates) {
    for (const int* r = codec->supported_samplerates; *r; ++r)
      if (*r == static_cast<int>(settings.rate)) rate = *r;
  }
  audio->sample_rate = rate;
  audio->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  audio->bit_rate = channels * (opus ? 48000 : 64000);
  audio->time_base = AVRational{1, rate};
  if (out->oformat->flags & AVFMT_GLOBALHEADER) audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int code = avcodec_open2(audio, codec, nullptr);
  if (code < 0) {
    error = "cannot start the sound encoder: " + AvError(code);
    return false;
  }
  avcodec_parameters_from_context(audioStream->codecpar, audio);
  audioStream->time_base = audio->time_base;
  AVChannelLayout in{};
  av_channel_layout_default(&in, static_cast<int>(settings.channels));
  const AVSampleFormat inFormat = settings.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
  code = swr_alloc_set_opts2(&swr, &audio->ch_layout, audio->sample_fmt, rate, &in, inFormat,
                             static_cast<int>(settings.rate), 0, nullptr);
  av_channel_layout_uninit(&in);
  if (code < 0 || swr_init(swr) < 0) {
    error = "cannot set up the sound conversion";
    return false;
  }
  fifo = av_audio_fifo_alloc(audio->sample_fmt, channels, 4096);
  sound = av_frame_alloc();
  return fifo && sound;
}

bool CVideoEncoder::State::Send(AVCodecContext* codec, AVStream* stream, AVFrame* input, std::string& error) {
  int code = avcodec_send_frame(codec, input);
  if (code < 0) {
    error = "encoding failed: " + AvError(code);
    return false;
  }
  for (;;) {
    code = avcodec_receive_packet(codec, packet);
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) return true;
    if (code < 0) {
      error = "encoding failed: " + AvError(code);
      return false;
    }
    av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
    packet->stream_index = stream->index;
    code = av_interleaved_write_frame(out, packet);
    if (code < 0) {
      error = "cannot write " + path + ": " + AvError(code);
      return false;
    }
  }
}

bool CVideoEncoder::AddFrame(const BYTE* pixels, std::size_t stride, std::string& error) {
  if (!m || !pixels) return false;
  State& s = *m;
  if (s.settings.format == Format::Gif) {
    if (!s.FillRgb(pixels, stride)) return false;
    s.rgb->pts = s.videoPts++;
    const int code = av_buffersrc_add_frame_flags(s.usePass.source, s.rgb, AV_BUFFERSRC_FLAG_KEEP_REF);
    if (code < 0) {
      error = "palette mapping failed: " + AvError(code);
      return false;
    }
    return s.DrainUseGraph(error);
  }
  if (av_frame_make_writable(s.frame) < 0) return false;
  // Bottom-up rows: start at the last row and step backwards.
  const int height = s.settings.height;
  const uint8_t* source[1] = {pixels + static_cast<std::size_t>(height - 1) * stride};
  const int sourceStride[1] = {-static_cast<int>(stride)};
  sws_scale(s.sws, source, sourceStride, 0, height, s.frame->data, s.frame->linesize);
  s.frame->pts = s.videoPts++;
  return s.Send(s.video, s.videoStream, s.frame, error);
}

bool CVideoEncoder::State::FillRgb(const BYTE* pixels, std::size_t stride) {
  if (av_frame_make_writable(rgb) < 0) return false;
  const int height = settings.height;
  const std::size_t bytes = static_cast<std::size_t>(settings.width) * 3;
  for (int r = 0; r < height; ++r)
    std::memcpy(rgb->data[0] + static_cast<std::size_t>(r) * rgb->linesize[0],
                pixels + static_cast<std::size_t>(height - 1 - r) * stride, bytes);
  return true;
}

namespace {

bool ConfigureGraph(Graph& g, const char* description, int width, int height, unsigned fps, bool withPalette,
                    std::string& error) {
  g.graph = avfilter_graph_alloc();
  if (!g.graph) return false;
  char args[160];
  std::snprintf(args, sizeof args, "video_size=%dx%d:pix_fmt=%d:time_base=1/%u:pixel_aspect=1/1", width, height,
                static_cast<int>(AV_PIX_FMT_BGR24), fps);
  int code = avfilter_graph_create_filter(&g.source, avfilter_get_by_name("buffer"), "in", args, nullptr, g.graph);
  if (code >= 0 && withPalette) {
    std::snprintf(args, sizeof args, "video_size=16x16:pix_fmt=%d:time_base=1/%u:pixel_aspect=1/1",
                  static_cast<int>(AV_PIX_FMT_RGB32), fps);
    code = avfilter_graph_create_filter(&g.palette, avfilter_get_by_name("buffer"), "palette", args, nullptr, g.graph);
  }
  if (code >= 0)
    code = avfilter_graph_create_filter(&g.sink, avfilter_get_by_name("buffersink"), "out", nullptr, nullptr, g.graph);
  if (code < 0) {
    error = "cannot set up the palette filters: " + AvError(code);
    return false;
  }
  AVFilterInOut* outputs = avfilter_inout_alloc();
  AVFilterInOut* inputs = avfilter_inout_alloc();
  AVFilterInOut* second = withPalette ? avfilter_inout_alloc() : nullptr;
  if (!outputs || !inputs || (withPalette && !second)) {
    avfilter_inout_free(&outputs);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&second);
    return false;
  }
  outputs->name = av_strdup("in");
  outputs->filter_ctx = g.source;
  outputs->next = second;
  if (second) {
    second->name = av_strdup("palette");
    second->filter_ctx = g.palette;
  }
  inputs->name = av_strdup("out");
  inputs->filter_ctx = g.sink;
  code = avfilter_graph_parse_ptr(g.graph, description, &inputs, &outputs, nullptr);
  avfilter_inout_free(&outputs);
  avfilter_inout_free(&inputs);
  if (code >= 0) code = avfilter_graph_config(g.graph, nullptr);
  if (code < 0) {
    error = "cannot set up the palette filters: " + AvError(code);
    return false;
  }
  return true;
}

}  // namespace

bool CVideoEncoder::State::MakePaletteGraph(std::string& error) {
  return ConfigureGraph(palettePass, "[in]palettegen=stats_mode=full[out]", settings.width, settings.height,
                        settings.fps, false, error);
}

bool CVideoEncoder::State::MakeUseGraph(std::string& error) {
  return ConfigureGraph(usePass, "[in][palette]paletteuse=dither=sierra2_4a[p];[p]format=pal8[out]", settings.width,
                        settings.height, settings.fps, true, error);
}

bool CVideoEncoder::AddPaletteFrame(const BYTE* pixels, std::size_t stride, std::string& error) {
  if (!NeedsPalettePass() || !pixels || !m->FillRgb(pixels, stride)) return false;
  m->rgb->pts = m->videoPts++;
  const int code = av_buffersrc_add_frame_flags(m->palettePass.source, m->rgb, AV_BUFFERSRC_FLAG_KEEP_REF);
  if (code < 0) error = "palette making failed: " + AvError(code);
  return code >= 0;
}

bool CVideoEncoder::EndPalette(std::string& error) {
  if (!NeedsPalettePass()) return false;
  State& s = *m;
  int code = av_buffersrc_add_frame_flags(s.palettePass.source, nullptr, 0);
  s.palette = av_frame_alloc();
  if (code >= 0 && s.palette) code = av_buffersink_get_frame(s.palettePass.sink, s.palette);
  if (code < 0 || !s.palette) {
    error = "palette making failed: " + AvError(code);
    return false;
  }
  s.videoPts = 0;
  if (!s.MakeUseGraph(error)) return false;
  s.palette->pts = 0;
  code = av_buffersrc_add_frame_flags(s.usePass.palette, s.palette, AV_BUFFERSRC_FLAG_KEEP_REF);
  if (code >= 0) code = av_buffersrc_add_frame_flags(s.usePass.palette, nullptr, 0);
  if (code < 0) error = "palette mapping failed: " + AvError(code);
  return code >= 0;
}

bool CVideoEncoder::State::DrainUseGraph(std::string& error) {
  for (;;) {
    AVFrame* mapped = av_frame_alloc();
    if (!mapped) return false;
    const int code = av_buffersink_get_frame(usePass.sink, mapped);
    if (code == AVERROR(EAGAIN) || code == AVERROR_EOF) {
      av_frame_free(&mapped);
      return true;
    }
    if (code < 0) {
      av_frame_free(&mapped);
      error = "palette mapping failed: " + AvError(code);
      return false;
    }
    const bool ok = Send(video, videoStream, mapped, error);
    av_frame_free(&mapped);
    if (!ok) return false;
  }
}

bool CVideoEncoder::AddAudio(const BYTE* pcm, std::size_t bytes, std::string& error) {
  if (!m || !m->audio) return true;
  State& s = *m;
  const std::size_t block = static_cast<std::size_t>(s.settings.channels) * (s.settings.bits / 8);
  if (!block) return false;
  while (bytes >= block) {
    const int count = static_cast<int>(std::min<std::size_t>(bytes / block, 16384));
    const int room = swr_get_out_samples(s.swr, count);
    std::vector<uint8_t*> planes(8, nullptr);
    if (room < 0 ||
        av_samples_alloc(planes.data(), nullptr, s.audio->ch_layout.nb_channels, room, s.audio->sample_fmt, 0) < 0)
      return false;
    const uint8_t* in[1] = {pcm};
    const int converted = swr_convert(s.swr, planes.data(), room, in, count);
    const bool ok =
        converted >= 0 && av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(planes.data()), converted) == converted;
    av_freep(&planes[0]);
    if (!ok) {
      error = "sound conversion failed";
      return false;
    }
    pcm += static_cast<std::size_t>(count) * block;
    bytes -= static_cast<std::size_t>(count) * block;
    if (!s.EncodeAudioFrames(false, error)) return false;
  }
  return true;
}

bool CVideoEncoder::State::EncodeAudioFrames(bool flush, std::string& error) {
  const int size = audio->frame_size > 0 ? audio->frame_size : 1024;
  while (av_audio_fifo_size(fifo) >= size || (flush && av_audio_fifo_size(fifo) > 0)) {
    const int available = av_audio_fifo_size(fifo);
    const bool small = available < size;
    // The last frame is padded with silence for encoders that need whole frames.
    const int samples =
        small && !(audio->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) ? size : std::min(available, size);
    av_frame_unref(sound);
    sound->nb_samples = samples;
    sound->format = audio->sample_fmt;
    sound->sample_rate = audio->sample_rate;
    if (av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout) < 0 || av_frame_get_buffer(sound, 0) < 0)
      return false;
    av_samples_set_silence(sound->extended_data, 0, samples, audio->ch_layout.nb_channels, audio->sample_fmt);
    if (av_audio_fifo_read(fifo, reinterpret_cast<void**>(sound->extended_data), std::min(available, size)) < 0)
      return false;
    sound->pts = audioPts;
    audioPts += samples;
    if (!Send(audio, audioStream, sound, error)) return false;
  }
  return true;
}

bool CVideoEncoder::Finish(std::string& error) {
  if (!m || !m->headerWritten) return false;
  State& s = *m;
  if (s.settings.format == Format::Gif) {
    const int code = av_buffersrc_add_frame_flags(s.usePass.source, nullptr, 0);
    if (code < 0 || !s.DrainUseGraph(error)) return false;
  }
  if (!s.Send(s.video, s.videoStream, nullptr, error)) return false;
  if (s.audio) {
    // What the resampler still holds, then the encoder's own delay.
    std::vector<uint8_t*> planes(8, nullptr);
    const int room = swr_get_out_samples(s.swr, 0);
    if (room > 0 &&
        av_samples_alloc(planes.data(), nullptr, s.audio->ch_layout.nb_channels, room, s.audio->sample_fmt, 0) >= 0) {
      const int converted = swr_convert(s.swr, planes.data(), room, nullptr, 0);
      if (converted > 0) av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(planes.data()), converted);
      av_freep(&planes[0]);
    }
    if (!s.EncodeAudioFrames(true, error) || !s.Send(s.audio, s.audioStream, nullptr, error)) return false;
  }
  int code = av_write_trailer(s.out);
  const int closed = avio_closep(&s.out->pb);
  s.fileOpen = false;
  if (code < 0 || closed < 0) {
    error = "cannot write " + s.path + ": " + AvError(code < 0 ? code : closed);
    return false;
  }
  if (std::rename(s.partial.c_str(), s.path.c_str()) != 0) {
    error = "cannot write " + s.path + ": " + std::strerror(errno);
    return false;
  }
  s.finished = true;
  m.reset();
  return true;
}
