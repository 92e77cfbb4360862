// The settings view's place search.
#include "settings/PlaceSearchController.h"

#include <cmath>
#include <utility>

#include "services/CoordinateText.h"
#include "services/PlaceLookup.h"

namespace stratovane {

namespace {

// "🇸🇪 Uppsala, Uppsala, Sweden"
std::string resultLine(const Place& place) {
  const std::string flag = flagEmoji(place.countryCode);
  return flag.empty() ? placeTitle(place) : flag + " " + placeTitle(place);
}

bool isOnTheGlobe(Coordinate position) {
  return std::fabs(position.latitude) <= 90 && std::fabs(position.longitude) <= 180;
}

void invalidate(std::shared_ptr<Timer>& timer) {
  if (timer) timer->invalidate();
  timer.reset();
}

}  // namespace

PlaceSearchController::PlaceSearchController(PlaceSearchServices services,
                                             std::function<std::string()> language,
                                             std::function<void(Coordinate)> moveTo)
    : services_(std::move(services)),
      language_(std::move(language)),
      moveTo_(std::move(moveTo)),
      self_(std::make_shared<PlaceSearchController*>(this)) {}

PlaceSearchController::~PlaceSearchController() {
  stop();
}

void PlaceSearchController::viewDidLoad(std::shared_ptr<SearchField> field,
                                        std::shared_ptr<Button> locationButton) {
  field_ = std::move(field);
  locationButton_ = std::move(locationButton);
  if (field_) {
    field_->setTextChangedAction([this] { textChanged(); });
    field_->setActivateAction([this] { activate(); });
    field_->setChooseAction([this](std::size_t index) { choose(index); });
  }
  if (locationButton_) locationButton_->setAction([this] { useMyLocation(); });
}

void PlaceSearchController::viewWillAppear() {
  if (!locationButton_) return;
  locationButton_->setHidden(true);
  if (!services_.location) return;
  availability_ = services_.location->checkAvailable([this](bool available) {
    if (!closed_) locationButton_->setHidden(!available);
  });
}

void PlaceSearchController::viewDidDisappear() {
  stop();
}

void PlaceSearchController::stop() {
  closed_ = true;
  *self_ = nullptr;
  invalidate(pause_);
  invalidate(locationLimit_);
  locating_.reset();
  availability_.reset();
}

void PlaceSearchController::textChanged() {
  if (closed_ || !field_) return;
  ++textNumber_;
  chooseFirst_ = false;
  searchWaiting_ = false;
  invalidate(pause_);
  const std::string text = searchText(field_->stringValue());
  // Typed coordinates need no service.
  if (const std::optional<Coordinate> coordinate = parseCoordinates(text)) {
    shown_ = {Place{*coordinate, {}, {}, {}, {}}};
    field_->showResults({resultLine(shown_.front())});
    return;
  }
  if (!isSearchable(text)) {
    shown_.clear();
    field_->closeResults();
    return;
  }
  pause_ = services_.runLoop.scheduledTimer(kTypingPause, [this] { startSearch(); });
}

void PlaceSearchController::startSearch() {
  invalidate(pause_);
  if (requesting_) {
    searchWaiting_ = true;
    return;
  }
  requesting_ = true;
  searchWaiting_ = false;
  requestedText_ = textNumber_;
  services_.backgroundQueue.async(
      [self = std::weak_ptr(self_), &loader = services_.loader, &mainQueue = services_.mainQueue,
       endpoint = services_.endpoint, text = field_->stringValue(),
       language = language_ ? language_() : std::string("en"), textNumber = textNumber_] {
        GeocodingAnswer answer = lookUpPlaces(text, language, endpoint, loader);
        mainQueue.async([self, textNumber, answer = std::move(answer)]() mutable {
          if (const auto controller = self.lock(); controller && *controller)
            (*controller)->answered(textNumber, std::move(answer));
        });
      });
}

void PlaceSearchController::answered(std::uint64_t textNumber, GeocodingAnswer answer) {
  requesting_ = false;
  if (searchWaiting_) return startSearch();
  if (textNumber != textNumber_) return;  // the text has changed since
  switch (answer.status) {
    case GeocodingAnswer::Status::found: {
      shown_ = std::move(answer.places);
      std::vector<std::string> lines;
      for (const Place& place : shown_) lines.push_back(resultLine(place));
      field_->showResults(lines);
      if (chooseFirst_) choose(0);
      break;
    }
    case GeocodingAnswer::Status::nothingFound:
      shown_.clear();
      field_->showNotice(tr(kNoPlaceFound));
      break;
    case GeocodingAnswer::Status::unreadable:
      shown_.clear();
      field_->showNotice(tr(kCannotSearch));
      break;
  }
  chooseFirst_ = false;
}

void PlaceSearchController::activate() {
  if (closed_) return;
  const bool pending = pause_ || searchWaiting_ || (requesting_ && requestedText_ == textNumber_);
  if (pending) {
    chooseFirst_ = true;
    if (pause_) startSearch();  // no need to wait out the pause
    return;
  }
  choose(0);
}

void PlaceSearchController::choose(std::size_t index) {
  if (closed_ || index >= shown_.size()) return;
  const Place place = shown_[index];
  field_->closeResults();
  field_->setStringValue(placeTitle(place));
  moveTo_(place.coordinate);
}

void PlaceSearchController::useMyLocation() {
  if (closed_ || locationLimit_ || !services_.location) return;
  if (locationButton_) locationButton_->setBusy(true);
  locationLimit_ = services_.runLoop.scheduledTimer(services_.locationTimeLimit,
                                                    [this] { located(std::nullopt); });
  std::unique_ptr<PendingWork> work =
      services_.location->locate([this](std::optional<Coordinate> position) { located(position); });
  if (locationLimit_) locating_ = std::move(work);  // unless it has answered already
}

void PlaceSearchController::located(std::optional<Coordinate> position) {
  if (!locationLimit_) return;  // already answered, or given up
  invalidate(locationLimit_);
  // Dropped later: this may run inside the work's own callback.
  services_.mainQueue.async([work = std::exchange(locating_, nullptr)] {});
  if (locationButton_) locationButton_->setBusy(false);
  if (position && isOnTheGlobe(*position)) {
    if (field_) field_->closeResults();
    moveTo_(*position);
  } else if (field_) {
    field_->showNotice(tr(kNoLocation));
  }
}

}  // namespace stratovane
