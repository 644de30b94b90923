#include "LibraryModel.h"

#include "DeterministicRandom.h"

#include <algorithm>
#include <cstdio>

namespace libsim {

namespace {

const char* const LogicalLibraryNames[] = {"PRODBKUP", "ARCHIVE",  "HSMPOOL", "DBLOGS",  "MEDIAVLT", "DRTEST",
                                           "EXCHANGE", "RESEARCH", "FINANCE", "TIERTWO", "COLDDATA", "SCRATCH"};

// Models of frame 1 that tell the monitor the library keeps performance statistics.
const char* const PerformanceFrameModels[] = {"D91", "D61", "D90", "D60"};

std::string digits(DeterministicRandom& random, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += static_cast<char>('0' + random.below(10));
    }
    return text;
}

std::string hexDigits(std::uint64_t value, int count)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(count), '0');
    for (int i = count - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = hex[value & 0xF];
        value >>= 4;
    }
    return text;
}

HealthCurve makeCurve(DeterministicRandom& random, int low, int high)
{
    HealthCurve curve;
    curve.baseRating = static_cast<int>(random.between(low, high));
    return curve;
}

// Marks some units as degrading: each starts losing rating somewhere in the first half of
// the history and has lost 100 to 160 points by its end (never falling below the floor).
template <class Unit>
void chooseDegrading(std::vector<Unit>& units, std::size_t count, DeterministicRandom& random,
                     LibraryMinute historyStart, LibraryMinute end)
{
    std::vector<std::size_t> order(units.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    for (std::size_t i = order.size(); i > 1; --i) {
        std::swap(order[i - 1], order[random.below(i)]);
    }
    const LibraryMinute span = std::max<LibraryMinute>(end - historyStart, MinutesPerDay);
    for (std::size_t i = 0; i < count && i < order.size(); ++i) {
        HealthCurve& curve = units[order[i]].health;
        curve.degrading = true;
        curve.degradeStart = historyStart + random.between(0, span / 2);
        const double remainingDays = std::max(1.0, static_cast<double>(end - curve.degradeStart) / MinutesPerDay);
        curve.lossPerDay = static_cast<double>(random.between(100, 160)) / remainingDays;
    }
}

} // namespace

int HealthCurve::ratingAt(LibraryMinute minute) const
{
    double rating = baseRating;
    if (degrading && minute > degradeStart) {
        rating -= lossPerDay * static_cast<double>(minute - degradeStart) / MinutesPerDay;
    }
    return std::clamp(static_cast<int>(rating), 30, 255);
}

double HealthCurve::qualityAt(LibraryMinute minute) const
{
    return std::clamp((ratingAt(minute) - 30) / 200.0, 0.0, 1.0);
}

char driveDigit(int value)
{
    return value < 10 ? static_cast<char>('0' + value) : static_cast<char>('A' + value - 10);
}

LibraryModel buildLibraryModel(const LibraryOptions& options)
{
    DeterministicRandom random = DeterministicRandom::forStream(options.seed, "model");
    LibraryModel model;
    model.name = options.name;
    model.serial = "KX" + digits(random, 5);
    model.historyStart = options.historyStart();
    // With a fixed start the degradation follows the planned days, not the end of the run.
    const LibraryMinute degradeUntil =
        options.start ? model.historyStart + static_cast<LibraryMinute>(options.days) * MinutesPerDay : options.end;

    const int driveFrames = std::min(options.frames, LibraryOptions::MaxDriveFrames);
    const std::string frameOneModel = PerformanceFrameModels[random.below(4)];
    for (int number = 1; number <= options.frames; ++number) {
        Frame frame;
        frame.number = number;
        frame.holdsDrives = number <= driveFrames && number <= options.drives;
        frame.model = number == 1 ? frameOneModel : (frame.holdsDrives ? "D92" : "K20");
        frame.serial = "78" + digits(random, 5);
        model.frames.push_back(frame);
    }

    for (int l = 0; l < options.logicalLibraries; ++l) {
        LogicalLibrary logical;
        const int pool = static_cast<int>(std::size(LogicalLibraryNames));
        logical.name = l < pool ? LogicalLibraryNames[l] : "LOGLIB" + std::to_string(l + 1);
        logical.encrypting = random.chance(0.5);
        model.logicalLibraries.push_back(logical);
    }
    // A library with several logical libraries shows both kinds.
    if (options.logicalLibraries >= 2) {
        model.logicalLibraries[0].encrypting = true;
        model.logicalLibraries[1].encrypting = false;
    }
    std::vector<bool> newerMedia;
    for (int l = 0; l < options.logicalLibraries; ++l) {
        newerMedia.push_back(random.chance(0.6));
    }

    // Drives are spread over the frames that can hold them, one position after the other.
    const std::uint64_t libraryId = random.below(0x1000000);
    for (int i = 0; i < options.drives; ++i) {
        Drive drive;
        drive.frame = i % driveFrames + 1;
        drive.position = i / driveFrames + 1;
        model.drives.push_back(drive);
    }
    std::sort(model.drives.begin(), model.drives.end(), [](const Drive& a, const Drive& b) {
        return a.frame != b.frame ? a.frame < b.frame : a.position < b.position;
    });
    for (std::size_t i = 0; i < model.drives.size(); ++i) {
        Drive& drive = model.drives[i];
        drive.row = drive.position;
        drive.elementAddress = 257 + static_cast<int>(i);
        drive.logicalLibrary = static_cast<int>(i % model.logicalLibraries.size());
        LogicalLibrary& logical = model.logicalLibraries[static_cast<std::size_t>(drive.logicalLibrary)];
        logical.drives.push_back(static_cast<int>(i));
        drive.wwnn = "5005" + hexDigits(libraryId, 6) + hexDigits(i + 1, 4) + driveDigit(drive.frame - 1)
                     + driveDigit(drive.position);
        drive.serial = "10" + digits(random, 8);
        drive.emulation = newerMedia[static_cast<std::size_t>(drive.logicalLibrary)] ? "LTO9" : "LTO8";
        drive.attachment = random.chance(0.8) ? "FC" : "SAS";
        if (logical.encrypting) {
            drive.encryptionCapability = "Capable";
            drive.encryptionMethod = "Library";
            drive.scratchEncryptionPolicy = "Enabled";
        } else {
            drive.encryptionCapability = random.chance(0.7) ? "Capable" : "NotCapable";
            drive.encryptionMethod = "None";
            drive.scratchEncryptionPolicy = "Disabled";
        }
        drive.health = makeCurve(random, 205, 240);
        drive.priorMounts = random.between(800, 25000);
        drive.priorWriteMegabytes = drive.priorMounts * random.between(20000, 90000);
        drive.priorReadMegabytes = drive.priorMounts * random.between(5000, 40000);
        drive.priorWriteRetries = drive.priorMounts * random.between(0, 30) / 100;
        drive.priorReadRetries = drive.priorMounts * random.between(0, 20) / 100;
        drive.priorCleanings = drive.priorMounts / random.between(300, 900);
        drive.priorPowerOnHours = random.between(3000, 40000);
    }

    std::vector<int> nextNumber(model.logicalLibraries.size(), 1);
    for (int i = 0; i < options.cartridges; ++i) {
        Cartridge cartridge;
        cartridge.logicalLibrary = i % options.logicalLibraries;
        const auto logicalIndex = static_cast<std::size_t>(cartridge.logicalLibrary);
        char volser[16];
        std::snprintf(volser, sizeof volser, "%c%c%04d%s", static_cast<char>('A' + cartridge.logicalLibrary / 26 % 26),
                      static_cast<char>('A' + cartridge.logicalLibrary % 26), nextNumber[logicalIndex]++,
                      newerMedia[logicalIndex] ? "L9" : "L8");
        cartridge.volser = volser;
        cartridge.capacityMegabytes = newerMedia[logicalIndex] ? 18000000 : 12000000;
        cartridge.health = makeCurve(random, 185, 240);
        cartridge.priorMounts = static_cast<int>(random.between(0, 900));
        cartridge.priorWriteRetries = cartridge.priorMounts * static_cast<int>(random.between(0, 40)) / 100;
        cartridge.priorWritePerms = random.chance(0.1) ? static_cast<int>(random.between(1, 3)) : 0;
        cartridge.priorReadRetries = cartridge.priorMounts * static_cast<int>(random.between(0, 25)) / 100;
        cartridge.priorReadPerms = random.chance(0.05) ? 1 : 0;
        cartridge.priorFillPercent = static_cast<int>(random.between(0, 95));
        cartridge.priorEncrypted = model.logicalLibraries[logicalIndex].encrypting && random.chance(0.85);
        model.logicalLibraries[logicalIndex].cartridges.push_back(i);
        model.cartridges.push_back(cartridge);
    }

    chooseDegrading(model.drives, std::max<std::size_t>(1, model.drives.size() / 8), random, model.historyStart,
                    degradeUntil);
    chooseDegrading(model.cartridges, std::max<std::size_t>(1, model.cartridges.size() * 3 / 100), random,
                    model.historyStart, degradeUntil);
    return model;
}

} // namespace libsim
