// Writes the example test's sound clip: a short three-note chime as a 16-bit
// mono WAV file, so that no recording has to be kept in the sources.
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

void Append32(QByteArray &data, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    data.append(bytes, 4);
}

void Append16(QByteArray &data, quint16 value)
{
    char bytes[2];
    qToLittleEndian(value, bytes);
    data.append(bytes, 2);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvclipsample OUT.wav\n");
        return 1;
    }
    constexpr int Rate = 22050;
    constexpr double Notes[] = {523.25, 659.25, 783.99}; // C, E, G
    constexpr double NoteSeconds = 0.4;

    QByteArray samples;
    for (double frequency : Notes) {
        const int count = int(Rate * NoteSeconds);
        for (int i = 0; i < count; ++i) {
            const double t = double(i) / Rate;
            // A struck note: quick attack, exponential fade.
            const double envelope = std::min(1.0, t * 200.0) * std::exp(-4.0 * t);
            const double value = 0.5 * envelope * std::sin(2.0 * std::numbers::pi * frequency * t);
            Append16(samples, quint16(qint16(std::lround(value * 32767.0))));
        }
    }

    QByteArray wav("RIFF");
    Append32(wav, quint32(36 + samples.size()));
    wav.append("WAVEfmt ");
    Append32(wav, 16);       // format chunk size
    Append16(wav, 1);        // PCM
    Append16(wav, 1);        // mono
    Append32(wav, Rate);     // samples a second
    Append32(wav, Rate * 2); // bytes a second
    Append16(wav, 2);        // bytes a frame
    Append16(wav, 16);       // bits a sample
    wav.append("data");
    Append32(wav, quint32(samples.size()));
    wav.append(samples);

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()) {
        std::fprintf(stderr, "corvclipsample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
