#include "Batch.h"

#include <glob.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <thread>

#include <fmt/format.h>

#include "BlockArchive.h"
#include "Overlay.h"
#include "Report.h"

namespace Ogeo {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

struct ImageResult {
    std::string rows;
    bool failed = false;
};

struct WorkerTimes {
    double decode = 0, run = 0, draw = 0;
};

ImageResult RunOne(Block& block, const std::filesystem::path& image, const BatchOptions& options, WorkerTimes& times)
{
    ImageResult result;
    const auto name = CsvField(image.string());
    auto t0 = Clock::now();
    try {
        auto pixels = ReadPng(image);
        const auto t1 = Clock::now();
        SetBlockImage(block, std::move(pixels));
        const auto outcomes = RunBlock(block);
        const auto t2 = Clock::now();
        for (const auto& o : outcomes) {
            const auto head = fmt::format("{},{},{}", name, CsvField(o.name),
                                          o.result == Ostrel::Vision::ToolResultConstants::Accept ? "Accept" : "Failed");
            if (o.outputs.empty())
                result.rows += fmt::format("{},,{}\n", head, CsvField(o.message));
            for (const auto& v : o.outputs)
                result.rows += fmt::format("{},{},{}\n", head, CsvField(v.path),
                                           CsvField(v.json.is_number() ? v.json.dump() : v.text));
        }
        result.failed = !AllAccepted(outcomes);
        if (!options.overlayFolder.empty())
            WriteOverlay(options.overlayFolder / image.filename().replace_extension(".png"), *block.image,
                         BuildScene(block));
        const auto t3 = Clock::now();
        times.decode += Seconds(t1 - t0);
        times.run += Seconds(t2 - t1);
        times.draw += Seconds(t3 - t2);
    } catch (const std::exception& e) {
        result.rows = fmt::format("{},,Failed,,{}\n", name, CsvField(e.what()));
        result.failed = true;
        times.decode += Seconds(Clock::now() - t0);
    }
    return result;
}

} // namespace

std::vector<std::filesystem::path> BatchImages(const std::string& folderOrPattern)
{
    std::vector<std::filesystem::path> images;
    std::error_code error;
    if (std::filesystem::is_directory(folderOrPattern, error)) {
        for (const auto& entry : std::filesystem::directory_iterator(folderOrPattern, error))
            if (entry.path().extension() == ".png")
                images.push_back(entry.path());
    } else {
        glob_t found{};
        if (glob(folderOrPattern.c_str(), 0, nullptr, &found) == 0)
            for (std::size_t i = 0; i < found.gl_pathc; ++i)
                images.emplace_back(found.gl_pathv[i]);
        globfree(&found);
    }
    if (images.empty())
        throw InputError(folderOrPattern, "", "names no PNG images");
    std::sort(images.begin(), images.end());
    return images;
}

int RunBatch(const Block& block, const BatchOptions& options)
{
    const auto images = BatchImages(options.images);
    if (!options.overlayFolder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(options.overlayFolder, error);
        if (error)
            throw InputError(options.overlayFolder.string(), "", "cannot make the folder: " + error.message());
    }
    const unsigned jobs = std::clamp<unsigned>(options.jobs ? options.jobs : std::thread::hardware_concurrency(), 1,
                                               static_cast<unsigned>(images.size()));
    // The copies are made here, one after the other; the workers then share nothing but
    // the queue's counter.
    const auto archive = SaveBlockArchive(block, 0);
    std::vector<Block> copies;
    for (unsigned i = 0; i < jobs; ++i)
        copies.push_back(LoadBlockArchive(archive, block.file));

    std::vector<ImageResult> results(images.size());
    std::vector<WorkerTimes> times(jobs);
    std::atomic<std::size_t> next = 0, done = 0;
    const auto start = Clock::now();
    std::vector<std::thread> workers;
    for (unsigned w = 0; w < jobs; ++w)
        workers.emplace_back([&, w] {
            for (std::size_t i; (i = next++) < images.size(); ++done)
                results[i] = RunOne(copies[w], images[i], options, times[w]);
        });
    const bool progress = isatty(STDERR_FILENO);
    while (progress && done < images.size()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const double elapsed = Seconds(Clock::now() - start);
        std::cerr << fmt::format("\r{} / {} images, {:.1f} images/s", done.load(), images.size(),
                                 elapsed > 0 ? done / elapsed : 0.0)
                  << std::flush;
    }
    for (auto& worker : workers)
        worker.join();
    const double wall = Seconds(Clock::now() - start);
    if (progress)
        std::cerr << "\n";

    std::string csv = "image,tool,result,output,value\n";
    std::size_t failures = 0;
    for (const auto& r : results) {
        csv += r.rows;
        failures += r.failed;
    }
    WriteFileAtomically(options.csv, csv);
    WorkerTimes total;
    for (const auto& t : times) {
        total.decode += t.decode;
        total.run += t.run;
        total.draw += t.draw;
    }
    const double busy = std::max(1e-9, total.decode + total.run + total.draw);
    std::cerr << fmt::format(
        "{} images, {} failed, {:.1f} s on {} workers: {:.1f} images/s; of the workers' time {:.0f}% decoding "
        "({:.2f} ms an image), {:.0f}% running ({:.2f} ms), {:.0f}% drawing ({:.2f} ms)\n",
        images.size(), failures, wall, jobs, images.size() / std::max(wall, 1e-9), 100 * total.decode / busy,
        1e3 * total.decode / images.size(), 100 * total.run / busy, 1e3 * total.run / images.size(),
        100 * total.draw / busy, 1e3 * total.draw / images.size());
    return failures ? 1 : 0;
}

} // namespace Ogeo
