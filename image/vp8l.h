// vp8l.h - a fast lossless WebP encoder for opaque pictures: about 13 ns
// a dot, where libwebp's fastest lossless setting takes about 60.
//
//   vp8l_encoder enc;                        // keeps its buffers between pictures
//   enc.encode(argb, stride, w, h, file);    // file: a still lossless WebP file
//
// argb holds h rows of w dots (0xAARRGGBB; the alpha is taken as opaque),
// row y at argb + y * stride; 1 x 1 to 16384 x 16384 dots. file becomes a
// whole WebP file ("RIFF....WEBPVP8L"), as libwebp's decoder and
// WebPMuxPushFrame take it, that decodes to exactly those dots.
//
// What it does, cheapest first, each step a simple scan:
//   - green subtracted from red and blue;
//   - each 32 x 32 tile predicted from its neighbours: with choose, by the
//     one of four predictors (left, above, the nearer of the two, their
//     gradient) that leaves the smallest residuals on a sample of its
//     rows, else by the gradient;
//   - a residual repeating the one before it three times or more is a
//     backward reference to it;
//   - a residual seen recently enough to be in a small colour cache is
//     one symbol;
//   - one set of Huffman codes for the whole picture, from its histograms,
//     no code longer than 15 bits.
// The same dots and options always give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct vp8l_options {
    bool choose = true; // each tile's predictor chosen (else the gradient's)
    int cache_bits = 0; // colour cache of 2^cache_bits (0: none, at most 11)
};

class vp8l_encoder {
public:
    explicit vp8l_encoder(vp8l_options opt = {}) : opt_(opt) {}
    void encode(const uint32_t *argb, int stride, int w, int h, std::vector<uint8_t> &file);

    // a literal residual, a colour cache hit, or a backward reference
    struct token {
        uint32_t value; // the residual; the cache key; the distance code
        uint16_t len;   // a reference's length
        uint8_t kind;
    };

private:
    void transform(const uint32_t *argb, int stride);
    void tokenize();
    int greens() const;

    vp8l_options opt_;
    int w_ = 0, h_ = 0;
    std::vector<uint32_t> img_, res_, modes_, cache_, counts_;
    std::vector<uint8_t> out_; // room for the longest stream
    std::vector<token> tokens_;
    size_t ntokens_ = 0;
};
