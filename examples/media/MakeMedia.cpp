// Makes the example quest's own pictures and sounds: a JPEG of the shore, a
// bitmap of the lighthouse door, an icon of the lantern, the sea and a door's
// creak as WAV files and a closing tune as a MIDI file. Everything is drawn
// or computed here, from fixed seeds, so the same files come out every time.
// Usage: norvo-make-media OUTPUT_FOLDER
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// The WAV files' sample rate: enough for waves and a creak, and small files.
constexpr int kSampleRate = 22050;

void Put16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}
void PutBig32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((v >> shift) & 0xFF);
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

// A mono 16-bit PCM WAV of samples in -1..1.
std::string Wav(const std::vector<double>& samples) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    Put32(out, 36 + dataSize);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, kSampleRate);
    Put32(out, kSampleRate * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, dataSize);
    for (double s : samples) {
        const double clipped = std::fmax(-1.0, std::fmin(1.0, s));
        Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(clipped * 32000.0)));
    }
    return out;
}

// A small fixed generator, so the noise is the same on every machine.
class Noise {
public:
    double Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

private:
    std::uint64_t state_ = 0x4D415941ULL;
};

// Four seconds of surf: low-passed noise that swells and falls like waves.
std::vector<double> Sea() {
    Noise noise;
    std::vector<double> out;
    double low = 0.0;
    const int count = kSampleRate * 4;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        low += 0.06 * (noise.Next() - low);
        const double swell = 0.35 + 0.65 * std::pow(std::sin(M_PI * t / 2.0), 2.0);
        const double fade = std::fmin(1.0, std::fmin(t * 4.0, (4.0 - t) * 4.0));
        out.push_back(2.2 * low * swell * fade);
    }
    return out;
}

// A door's creak: a rough tone sliding up and down for 0.8 seconds.
std::vector<double> Creak() {
    Noise noise;
    std::vector<double> out;
    double phase = 0.0;
    const int count = kSampleRate * 8 / 10;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double pitch = 180.0 + 120.0 * std::sin(2.0 * M_PI * 1.3 * t) + 20.0 * noise.Next();
        phase += 2.0 * M_PI * pitch / kSampleRate;
        const double rasp = std::sin(phase) > 0.6 ? 1.0 : -0.3;
        const double fade = std::fmin(1.0, std::fmin(t * 20.0, (0.8 - t) * 10.0));
        out.push_back(0.5 * rasp * fade);
    }
    return out;
}

// A MIDI number in the variable-length form of the file's delta times.
std::string VarLength(std::uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while ((value >>= 7) != 0)
        bytes.insert(bytes.begin(), static_cast<char>((value & 0x7F) | 0x80));
    return bytes;
}

// The closing tune: a slow melody on the music box over a held chord.
std::string Finale() {
    constexpr int kTicksPerQuarter = 480;
    std::string track;
    auto event = [&track](std::uint32_t delta, std::initializer_list<int> bytes) {
        track += VarLength(delta);
        for (int b : bytes)
            track += static_cast<char>(b);
    };
    event(0, {0xFF, 0x51, 0x03, 0x0B, 0x71, 0xB0}); // tempo: 750,000 us a quarter (80 bpm)
    event(0, {0xC0, 10});                           // channel 1: music box
    event(0, {0xC1, 48});                           // channel 2: strings
    event(0, {0x91, 48, 60});
    event(0, {0x91, 55, 60});
    const int melody[] = {64, 67, 69, 67, 64, 62, 60, 62, 64, 60};
    for (int note : melody) {
        event(0, {0x90, note, 90});
        event(kTicksPerQuarter, {0x80, note, 0});
    }
    event(0, {0x81, 48, 0});
    event(0, {0x81, 55, 0});
    event(0, {0xFF, 0x2F, 0x00}); // end of track
    std::string out = "MThd";
    PutBig32(out, 6);
    out += std::string{0, 0, 0, 1, static_cast<char>(kTicksPerQuarter >> 8),
                       static_cast<char>(kTicksPerQuarter & 0xFF)};
    out += "MTrk";
    PutBig32(out, static_cast<std::uint32_t>(track.size()));
    return out + track;
}

void Lighthouse(QPainter& p, double x, double base, double height) {
    const double w = height / 5.0;
    QPainterPath tower;
    tower.moveTo(x - w / 2, base);
    tower.lineTo(x - w / 3, base - height);
    tower.lineTo(x + w / 3, base - height);
    tower.lineTo(x + w / 2, base);
    tower.closeSubpath();
    p.fillPath(tower, QColor(235, 230, 220));
    for (int band = 1; band <= 3; band += 2)
        p.fillRect(QRectF(x - w / 2.3, base - height * (band + 1) / 5.0, w / 1.15, height / 10.0),
                   QColor(170, 40, 40));
    p.fillRect(QRectF(x - w / 3, base - height - w / 2, w / 1.5, w / 2), QColor(60, 60, 70));
}

// The shore at dusk, with the dark lighthouse on its cliff.
QImage Shore() {
    QImage image(345, 265, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 170);
    sky.setColorAt(0, QColor(40, 50, 90));
    sky.setColorAt(1, QColor(230, 150, 110));
    p.fillRect(0, 0, 345, 170, sky);
    p.fillRect(0, 170, 345, 95, QColor(30, 60, 90));
    for (int row = 0; row < 6; ++row)
        for (int x = (row % 2) * 15; x < 345; x += 30)
            p.fillRect(x, 178 + row * 14, 16, 2, QColor(90, 130, 160));
    QPainterPath cliff;
    cliff.moveTo(200, 265);
    cliff.lineTo(230, 150);
    cliff.lineTo(345, 140);
    cliff.lineTo(345, 265);
    p.fillPath(cliff, QColor(70, 60, 50));
    Lighthouse(p, 290, 145, 110);
    return image;
}

// The lighthouse door: planks, iron bands and a keyhole.
QImage Door() {
    QImage image(240, 180, QImage::Format_RGB32);
    image.fill(QColor(120, 115, 110));
    QPainter p(&image);
    p.fillRect(70, 20, 100, 160, QColor(110, 70, 40));
    for (int x = 70; x < 170; x += 20)
        p.fillRect(x, 20, 2, 160, QColor(70, 45, 25));
    for (int y : {45, 140})
        p.fillRect(70, y, 100, 8, QColor(50, 50, 55));
    p.setBrush(QColor(20, 20, 20));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(152, 100), 5, 5);
    p.drawRect(150, 100, 4, 12);
    return image;
}

// The oil lantern, as a 32 x 32 icon with a transparent background.
QImage Lantern() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.drawArc(QRectF(10, 1, 12, 10), 0, 180 * 16); // the handle
    p.setBrush(QColor(255, 200, 60));
    p.drawRoundedRect(QRectF(8, 8, 16, 18), 3, 3);
    p.setBrush(QColor(255, 120, 20));
    p.drawEllipse(QRectF(13, 13, 6, 9)); // the flame
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(7, 26, 18, 4));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: norvo-make-media OUTPUT_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string dir = argv[1];
    const QString qdir = QString::fromLocal8Bit(argv[1]);
    bool ok = Shore().save(qdir + "/shore.jpg", "JPEG", 85) &&
              Door().save(qdir + "/door.bmp", "BMP") &&
              Lantern().save(qdir + "/lantern.ico", "ICO") &&
              WriteFile(dir + "/sea.wav", Wav(Sea())) &&
              WriteFile(dir + "/creak.wav", Wav(Creak())) &&
              WriteFile(dir + "/finale.mid", Finale());
    if (!ok) {
        std::fprintf(stderr, "norvo-make-media: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
