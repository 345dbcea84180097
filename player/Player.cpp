#include "Player.h"

#include "cardformat/MovieControl.h"

namespace player {

Player::Player(PlayerPlatform& platform, PlayerForms& forms, WebAddresses addresses)
    : platform_(platform), forms_(forms), addresses_(std::move(addresses)) {}

void Player::prepareWindow() {
    geometry_.setScreen(platform_.screenSize());
    geometry_.setAvailableArea(platform_.availableArea());
    geometry_.placeAtDesignSize();
    applyGeometry();
}

void Player::applyGeometry() {
    forms_.applyGeometry(geometry_);
}

void Player::windowResized(std::int32_t widthPx, std::int32_t heightPx) {
    const TwipPlace& window = geometry_.window();
    if (pixelsOf(window.width) == widthPx && pixelsOf(window.height) == heightPx) {
        return;
    }
    geometry_.windowResized(static_cast<double>(widthPx) * TwipsPerPixel,
                            static_cast<double>(heightPx) * TwipsPerPixel);
    applyGeometry();
}

void Player::windowMoved(std::int32_t leftPx, std::int32_t topPx) {
    const TwipPlace& window = geometry_.window();
    if (pixelPosition(window.left) == leftPx && pixelPosition(window.top) == topPx) {
        return;
    }
    // Zoom steps keep the corner where the user put it.
    geometry_.setWindowLeft(static_cast<double>(leftPx) * TwipsPerPixel);
    geometry_.setWindowTop(static_cast<double>(topPx) * TwipsPerPixel);
}

void Player::toggleFullScreen() {
    geometry_.setScreen(platform_.screenSize());
    geometry_.setAvailableArea(platform_.availableArea());
    geometry_.toggleFullScreen(state_);
    applyGeometry();
}

void Player::zoomStep(bool towardsUser) {
    geometry_.setScreen(platform_.screenSize());
    geometry_.setAvailableArea(platform_.availableArea());
    if (geometry_.zoomStep(towardsUser)) {
        applyGeometry();
    }
}

} // namespace player
