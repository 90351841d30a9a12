// Placeholder until the audio layer lands.
namespace except::audio_placeholder {}
