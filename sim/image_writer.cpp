// The image writer's thread: takes the latest image, saves it outside the lock, repeats.
#include "sim/image_writer.h"

#include <exception>
#include <utility>

namespace quorvex::sim {

ImageWriter::ImageWriter(std::string path, SaveImage save, ReportSaveFailure report)
    : path_(std::move(path)),
      save_(std::move(save)),
      report_(std::move(report)),
      thread_([this] { Run(); }) {}

ImageWriter::~ImageWriter() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void ImageWriter::Store(const RegisterImage& image) {
  {
    const std::lock_guard lock(mutex_);
    waiting_ = image;
  }
  wake_.notify_one();
}

void ImageWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return waiting_ || stopping_; });
    if (!waiting_) return;
    const RegisterImage image = *std::exchange(waiting_, std::nullopt);
    lock.unlock();
    // A failed save is told and otherwise forgotten: the next change tries again, as a card
    // whose file cannot be written must still answer.
    try {
      save_(path_, image);
    } catch (const std::exception& e) {
      report_(e.what());
    }
    lock.lock();
  }
}

}  // namespace quorvex::sim
