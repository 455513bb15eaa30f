// How the phone is held and how its interface is turned, in one place. The
// page turns the whole phone as a person would hold it; clicks on the turned
// screen are mapped back to the portrait screen the phone's steps speak of;
// the keyboard is drawn along the side that is the bottom of the interface.
//
// Orientations are the platform's numbers: 1 portrait, 2 upside down,
// 3 landscape right (home button on the right), 4 landscape left.

export const SCREEN_WIDTH = 320;
export const SCREEN_HEIGHT = 480;

// The angle the page turns the phone by, in degrees, for how it is held.
const DEVICE_DEGREES = { 1: 0, 2: 180, 3: -90, 4: 90 };
// The angle of the interface on the portrait screen: the opposite turn, so
// that it stands upright in the held phone.
const INTERFACE_RADIANS = { 1: 0, 2: Math.PI, 3: Math.PI / 2, 4: -Math.PI / 2 };
// Turning the phone a quarter to the left or right, from each orientation.
const TURNS = {
    left: { 1: 3, 3: 2, 2: 4, 4: 1 },
    right: { 1: 4, 4: 2, 2: 3, 3: 1 },
};

const known = (orientation) => (orientation in DEVICE_DEGREES ? orientation : 1);

export const isSideways = (orientation) => orientation === 3 || orientation === 4;

export const deviceDegrees = (orientation) => DEVICE_DEGREES[known(orientation)];

export const turned = (orientation, direction) => TURNS[direction][known(orientation)];

// A point of the page (client coordinates) → the phone's portrait screen.
// `rect` is the turned screen's box on the page.
export function toScreen(rect, orientation, clientX, clientY) {
    const scale = rect.width / (isSideways(orientation) ? SCREEN_HEIGHT : SCREEN_WIDTH);
    const dx = (clientX - (rect.left + rect.width / 2)) / scale;
    const dy = (clientY - (rect.top + rect.height / 2)) / scale;
    const angle = (-deviceDegrees(orientation) * Math.PI) / 180;
    const cos = Math.cos(angle);
    const sin = Math.sin(angle);
    return { x: SCREEN_WIDTH / 2 + dx * cos - dy * sin, y: SCREEN_HEIGHT / 2 + dx * sin + dy * cos };
}

// Where to draw a strip of the screen (the keyboard's frame, portrait
// coordinates) with the interface's turn: its unturned box and the angle.
export function interfaceBox([x, y, width, height], orientation) {
    const angle = INTERFACE_RADIANS[known(orientation)];
    const [w, h] = isSideways(orientation) ? [height, width] : [width, height];
    return { left: x + width / 2 - w / 2, top: y + height / 2 - h / 2, width: w, height: h, angle };
}
