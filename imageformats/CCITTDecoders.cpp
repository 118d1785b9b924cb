#include "imageformats/CCITTDecoders.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The T.4 codes as bit texts, indexed by run length (terminating codes) or
// by run length / 64 - 1 (make-up codes).
const char* const kWhiteTerminating[64] = {
    "00110101", "000111",   "0111",     "1000",     "1011",     "1100",     "1110",     "1111",
    "10011",    "10100",    "00111",    "01000",    "001000",   "000011",   "110100",   "110101",
    "101010",   "101011",   "0100111",  "0001100",  "0001000",  "0010111",  "0000011",  "0000100",
    "0101000",  "0101011",  "0010011",  "0100100",  "0011000",  "00000010", "00000011", "00011010",
    "00011011", "00010010", "00010011", "00010100", "00010101", "00010110", "00010111", "00101000",
    "00101001", "00101010", "00101011", "00101100", "00101101", "00000100", "00000101", "00001010",
    "00001011", "01010010", "01010011", "01010100", "01010101", "00100100", "00100101", "01011000",
    "01011001", "01011010", "01011011", "01001010", "01001011", "00110010", "00110011", "00110100"};

const char* const kWhiteMakeUp[27] = {"11011",     "10010",     "010111",    "0110111",   "00110110",  "00110111",
                                      "01100100",  "01100101",  "01101000",  "01100111",  "011001100", "011001101",
                                      "011010010", "011010011", "011010100", "011010101", "011010110", "011010111",
                                      "011011000", "011011001", "011011010", "011011011", "010011000", "010011001",
                                      "010011010", "011000",    "010011011"};

const char* const kBlackTerminating[64] = {
    "0000110111",   "010",          "11",           "10",           "011",          "0011",         "0010",
    "00011",        "000101",       "000100",       "0000100",      "0000101",      "0000111",      "00000100",
    "00000111",     "000011000",    "0000010111",   "0000011000",   "0000001000",   "00001100111",  "00001101000",
    "00001101100",  "00000110111",  "00000101000",  "00000010111",  "00000011000",  "000011001010", "000011001011",
    "000011001100", "000011001101", "000001101000", "000001101001", "000001101010", "000001101011", "000011010010",
    "000011010011", "000011010100", "000011010101", "000011010110", "000011010111", "000001101100", "000001101101",
    "000011011010", "000011011011", "000001010100", "000001010101", "000001010110", "000001010111", "000001100100",
    "000001100101", "000001010010", "000001010011", "000000100100", "000000110111", "000000111000", "000000100111",
    "000000101000", "000001011000", "000001011001", "000000101011", "000000101100", "000001011010", "000001100110",
    "000001100111"};

const char* const kBlackMakeUp[27] = {
    "0000001111",    "000011001000",  "000011001001",  "000001011011",  "000000110011",  "000000110100",
    "000000110101",  "0000001101100", "0000001101101", "0000001001010", "0000001001011", "0000001001100",
    "0000001001101", "0000001110010", "0000001110011", "0000001110100", "0000001110101", "0000001110110",
    "0000001110111", "0000001010010", "0000001010011", "0000001010100", "0000001010101", "0000001011010",
    "0000001011011", "0000001100100", "0000001100101"};

// Make-up codes of 1792 to 2560, the same for both colours.
const char* const kExtendedMakeUp[13] = {"00000001000",  "00000001100",  "00000001101",  "000000010010", "000000010011",
                                         "000000010100", "000000010101", "000000010110", "000000010111", "000000011100",
                                         "000000011101", "000000011110", "000000011111"};

constexpr int kFirstMakeUp = 64;

// A node of a code tree: its two successors (0: none) and the value of the
// code that ends there (0 for nodes inside codes).
struct State {
    int Next[2] = {0, 0};
    int Value = 0;
};

class CodeTree {
public:
    CodeTree(const char* const* terminating, const char* const* makeUp) : states_(1)
    {
        for (int run = 0; run < 64; ++run)
            Add(terminating[run], run);
        for (int k = 0; k < 27; ++k)
            Add(makeUp[k], (k + 1) * kFirstMakeUp);
        for (int k = 0; k < 13; ++k)
            Add(kExtendedMakeUp[k], 1792 + k * kFirstMakeUp);
        Add("000000000001", -1);
        for (const char* fill : {"000000001", "0000000001", "00000000001", "000000000000"})
            Add(fill, -2);
    }
    const State& operator[](int index) const { return states_[static_cast<std::size_t>(index)]; }

private:
    void Add(const char* bits, int value)
    {
        int state = 0;
        for (const char* b = bits; *b; ++b) {
            const int bit = *b == '1';
            if (states_[static_cast<std::size_t>(state)].Next[bit] == 0) {
                states_.emplace_back();
                states_[static_cast<std::size_t>(state)].Next[bit] = static_cast<int>(states_.size() - 1);
            }
            state = states_[static_cast<std::size_t>(state)].Next[bit];
        }
        states_[static_cast<std::size_t>(state)].Value = value;
    }

    std::vector<State> states_;
};

// Built once for the process: the tables never change.
const CodeTree& WhiteTree()
{
    static const CodeTree tree(kWhiteTerminating, kWhiteMakeUp);
    return tree;
}
const CodeTree& BlackTree()
{
    static const CodeTree tree(kBlackTerminating, kBlackMakeUp);
    return tree;
}

} // namespace

TCCITTDecoder::TCCITTDecoder(std::int32_t Options, bool SwapBits, bool WordAligned, std::uint32_t Width)
    : width_(Width), rowBytes_(static_cast<int>(std::min<std::uint32_t>((Width + 7) / 8, 0x7FFFFFF))),
      options_(Options), swapBits_(SwapBits), wordAligned_(WordAligned)
{
    WhiteTree();
    BlackTree();
}

void TCCITTDecoder::StartReading(const std::uint8_t* source, int size)
{
    source_ = source;
    size_ = std::max(size, 0);
    byte_ = bit_ = 0;
}

int TCCITTDecoder::NextBit()
{
    const std::uint8_t byte = source_[byte_];
    const int bit = swapBits_ ? (byte >> bit_) & 1 : (byte >> (7 - bit_)) & 1;
    if (++bit_ == 8) {
        bit_ = 0;
        ++byte_;
    }
    return bit;
}

void TCCITTDecoder::AlignRow()
{
    if (bit_ > 0) {
        bit_ = 0;
        ++byte_;
    }
    if (wordAligned_ && byte_ % 2 == 1)
        ++byte_;
}

int TCCITTDecoder::FindCode(bool white)
{
    const CodeTree& tree = white ? WhiteTree() : BlackTree();
    int sum = 0, state = 0;
    for (;;) {
        // The data may end right behind a code: its node counts as reached.
        if (AtEnd()) {
            if (state == 0)
                return sum > 0 ? sum : kEndOfData;
            const int value = tree[state].Value;
            return value < 0 ? value : sum + value;
        }
        // Peek at the bit: a code ends where the tree has no successor for it.
        const std::uint8_t byte = source_[byte_];
        const int bit = swapBits_ ? (byte >> bit_) & 1 : (byte >> (7 - bit_)) & 1;
        int next = tree[state].Next[bit];
        if (next == 0) {
            const int value = tree[state].Value;
            if (value < kFirstMakeUp)
                return value < 0 ? value : sum + value;
            // A make-up code: the next code of the same colour begins with this bit.
            sum += value;
            next = tree[0].Next[bit];
        }
        NextBit();
        state = next;
    }
}

void TCCITTDecoder::StartWriting(std::uint8_t* dest, int size)
{
    dest_ = dest;
    outSize_ = std::max(size, 0);
    rowStart_ = 0;
    column_ = 0;
    std::memset(dest_, 0, static_cast<std::size_t>(outSize_));
}

bool TCCITTDecoder::FillRun(int length, bool white)
{
    const std::uint32_t run = std::min<std::uint32_t>(static_cast<std::uint32_t>(length), width_ - column_);
    if (!white && run > 0 && !OutputFull()) {
        std::uint8_t* row = dest_ + rowStart_;
        std::uint32_t x = column_;
        const std::uint32_t end = column_ + run;
        for (; x < end && x % 8 != 0; ++x)
            row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        const std::uint32_t wholeBytes = (end - x) / 8;
        std::memset(row + x / 8, 0xFF, wholeBytes);
        for (x += wholeBytes * 8; x < end; ++x)
            row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    column_ += run;
    return column_ >= width_;
}

void TCCITTDecoder::EndRow()
{
    rowStart_ += rowBytes_;
    column_ = 0;
}

// ---- group 3, one-dimensional ------------------------------------------------

// To the end of an end-of-line code: at least eleven 0 bits and a 1 bit.
void TCCITTFax3Decoder::SkipToEndOfLine()
{
    int zeros = 0;
    while (!AtEnd()) {
        if (NextBit() == 0) {
            ++zeros;
        } else if (zeros >= 11) {
            return;
        } else {
            zeros = 0;
        }
    }
}

int TCCITTFax3Decoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    StartReading(Source, PackedSize);
    StartWriting(Dest, UnpackedSize);
    if (width_ == 0)
        return 0;
    bool afterEndOfLine = false;
    while (!AtEnd() && !OutputFull()) {
        // A row that ended on an end-of-line code has its code read already.
        if (!afterEndOfLine)
            SkipToEndOfLine();
        afterEndOfLine = false;
        bool white = true;
        for (;;) {
            const int code = FindCode(white);
            if (code == kEndOfData)
                break;
            if (code < 0) {
                afterEndOfLine = code == kEndOfLine;
                break;
            }
            if (FillRun(code, white))
                break;
            white = !white;
        }
        // A row cut short by damage or the end of the data keeps what it got;
        // an end-of-line code with no row before it (the end of a page) adds none.
        if (RowStarted())
            EndRow();
    }
    return std::min(RowsWritten(), UnpackedSize / std::max(rowBytes_, 1)) * rowBytes_;
}

// ---- modified Huffman ----------------------------------------------------------

int TCCITTMHDecoder::Decode(const std::uint8_t*& Source, std::uint8_t*& Dest, int PackedSize, int UnpackedSize)
{
    StartReading(Source, PackedSize);
    StartWriting(Dest, UnpackedSize);
    if (width_ == 0)
        return 0;
    bool white = true;
    while (!AtEnd() && !OutputFull()) {
        const int code = FindCode(white);
        if (code == kEndOfData)
            break;
        if (code > 0 && FillRun(code, white)) {
            EndRow();
            AlignRow();
            white = true;
            continue;
        }
        white = !white;
    }
    if (RowStarted() && !OutputFull())
        EndRow();
    return RowsWritten() * rowBytes_;
}
