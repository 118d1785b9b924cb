#include "imageformats/WholeInflater.h"

#include <libdeflate.h>

#include <new>

struct TWholeInflater::Library {
    libdeflate_decompressor* Decompressor;
};

TWholeInflater::TWholeInflater() : library_(new Library{libdeflate_alloc_decompressor()})
{
    if (!library_->Decompressor) {
        delete library_;
        throw std::bad_alloc();
    }
}

TWholeInflater::~TWholeInflater()
{
    libdeflate_free_decompressor(library_->Decompressor);
    delete library_;
}

std::optional<TWholeInflater::TResult> TWholeInflater::Inflate(std::span<const std::uint8_t> input,
                                                               std::span<std::uint8_t> output)
{
    TResult result;
    // With the counts asked for, a stream that ends before the output is
    // full is a success too; Written tells how far it came.
    const libdeflate_result status = libdeflate_zlib_decompress_ex(library_->Decompressor, input.data(), input.size(),
                                                                   output.data(), output.size(), &result.Consumed,
                                                                   &result.Written);
    if (status != LIBDEFLATE_SUCCESS)
        return std::nullopt;
    return result;
}
