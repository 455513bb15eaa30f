// The page: keeps the latest state the server pushed, draws it, and turns
// what a person does (clicks, drags, keys, the side panel's buttons) into
// scenario steps sent to the server one after another.

import { drawScreen } from './screen.js';
import { drawPanels } from './panels.js';

const SCREEN_WIDTH = 320;
const SCREEN_HEIGHT = 480;
// How the phone is held, as the page turns it: device orientation → degrees.
const DEVICE_ANGLE = { 1: 0, 2: 180, 3: -90, 4: 90 };
// Below this many points a press is a tap, not a swipe.
const TAP_SLOP = 8;
// A finger held this long on the text being edited opens the edit menu.
const HOLD_MS = 500;

const page = {
    screen: null, // {snapshot, springboard}
    panels: null,
    screenGeneration: 0,
    panelsGeneration: 0,
    pendingSteps: 0,
    shift: false,
};
window.plv = page;

const $ = (selector) => document.querySelector(selector);
const screenNode = $('#screen');
const phoneNode = $('#phone');

// MARK: Steps

let queue = Promise.resolve();

function report(state, text) {
    const status = $('#step-status');
    status.dataset.state = state;
    status.textContent = text;
}

// Steps go one after another, in the order the person took them.
export function sendStep(step) {
    page.pendingSteps += 1;
    const sent = queue.then(async () => {
        try {
            const response = await fetch('/api/step', {
                method: 'POST',
                headers: { 'Content-Type': 'application/json' },
                body: JSON.stringify(step),
            });
            const answer = await response.json().catch(() => ({ ok: false, error: `HTTP ${response.status}` }));
            if (!response.ok || !answer.ok) {
                report('error', `${step.step}: ${answer.error || 'refused'}`);
                return answer;
            }
            report('ok', `${step.step}: done`);
            return answer;
        } catch (error) {
            report('error', `${step.step}: the server did not answer (${error.message})`);
            return { ok: false, error: error.message };
        } finally {
            page.pendingSteps -= 1;
        }
    });
    queue = sent;
    return sent;
}

// MARK: Drawing

function render() {
    if (!page.screen) return;
    const { snapshot, springboard } = page.screen;
    drawScreen(screenNode, snapshot);
    if (holdMenu) screenNode.appendChild(holdMenu);
    const orientation = springboard.deviceOrientation || 1;
    phoneNode.dataset.orientation = orientation;
    phoneNode.style.transform = `rotate(${DEVICE_ANGLE[orientation] || 0}deg)`;
    $('#stage').classList.toggle('sideways', orientation === 3 || orientation === 4);
    document.body.dataset.locked = springboard.locked;
    const front = springboard.frontApp || 'home screen';
    const banner = springboard.banner ? ` · banner: ${springboard.banner.title}` : '';
    $('#device-status').textContent = `${springboard.locked ? (springboard.dimmed ? 'locked, screen dark' : 'locked') : front} · orientation ${springboard.orientation}${banner}`;
    drawBulletinLists(springboard);
    document.body.dataset.screenGeneration = page.screenGeneration;
}

function bulletinRow(bulletin, label, onClick, enabled) {
    const item = document.createElement('li');
    const text = document.createElement('span');
    text.textContent = `${bulletin.title} — ${bulletin.message}`;
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = label;
    button.disabled = !enabled;
    button.addEventListener('click', onClick);
    item.append(text, button);
    return item;
}

// A dark lock screen lights first, as a finger on the home button does.
async function lightLockScreen() {
    if (page.screen?.springboard.dimmed) await sendStep({ step: 'home' });
}

async function slideBulletin(index) {
    await lightLockScreen();
    return sendStep({ step: 'unlock_bulletin', index });
}

function drawBulletinLists(springboard) {
    const centre = springboard.notificationCenter || { open: false, bulletins: [] };
    $('#nc-rows').replaceChildren(
        ...centre.bulletins.map((bulletin, index) =>
            bulletinRow(bulletin, centre.open ? 'Tap' : 'Tap (open the centre first)', () => sendStep({ step: 'tap_notification', index }), centre.open),
        ),
    );
    $('#lock-rows').replaceChildren(
        ...(springboard.lockScreen || []).map((bulletin, index) =>
            bulletinRow(bulletin, 'Slide to open', () => slideBulletin(index), springboard.locked),
        ),
    );
}

// MARK: Server-sent state

function connect() {
    const events = new EventSource('/api/events');
    events.addEventListener('screen', (event) => {
        const message = JSON.parse(event.data);
        page.screen = message.state;
        page.screenGeneration = message.generation;
        render();
    });
    events.addEventListener('panels', (event) => {
        const message = JSON.parse(event.data);
        page.panels = message.state;
        page.panelsGeneration = message.generation;
        drawPanels(page.panels);
        document.body.dataset.panelsGeneration = page.panelsGeneration;
    });
    events.addEventListener('open', () => document.body.classList.remove('disconnected'));
    events.addEventListener('error', () => {
        document.body.classList.add('disconnected');
        $('#device-status').textContent = 'the simulator is not answering; retrying…';
    });
}

// MARK: Touches

// A point on the page → the phone's portrait screen, through the turn the
// phone is drawn with.
function screenPoint(clientX, clientY) {
    const rect = screenNode.getBoundingClientRect();
    const orientation = page.screen?.springboard.deviceOrientation || 1;
    const angle = ((DEVICE_ANGLE[orientation] || 0) * Math.PI) / 180;
    const sideways = orientation === 3 || orientation === 4;
    const scale = rect.width / (sideways ? SCREEN_HEIGHT : SCREEN_WIDTH);
    const dx = (clientX - (rect.left + rect.width / 2)) / scale;
    const dy = (clientY - (rect.top + rect.height / 2)) / scale;
    const cos = Math.cos(-angle);
    const sin = Math.sin(-angle);
    return { x: SCREEN_WIDTH / 2 + dx * cos - dy * sin, y: SCREEN_HEIGHT / 2 + dx * sin + dy * cos };
}

const round = (value) => Math.round(value * 10) / 10;

let press = null;

screenNode.addEventListener('pointerdown', (event) => {
    if (event.button !== 0) return;
    if (event.target.closest('.hold-menu')) return;
    closeHoldMenu();
    const key = event.target.closest('.key');
    if (key) {
        event.preventDefault();
        screenNode.focus({ preventScroll: true });
        pressKey(key.dataset.key);
        return;
    }
    // The default is prevented below (no text selection while dragging), so
    // the screen takes the keyboard itself.
    screenNode.focus({ preventScroll: true });
    const point = screenPoint(event.clientX, event.clientY);
    press = { start: point, samples: [{ ...point, t: event.timeStamp }] };
    screenNode.setPointerCapture(event.pointerId);
    event.preventDefault();
});

screenNode.addEventListener('pointermove', (event) => {
    if (!press) return;
    press.samples.push({ ...screenPoint(event.clientX, event.clientY), t: event.timeStamp });
    if (press.samples.length > 64) press.samples.splice(0, press.samples.length - 64);
});

screenNode.addEventListener('pointerup', (event) => {
    if (!press) return;
    const end = { ...screenPoint(event.clientX, event.clientY), t: event.timeStamp };
    const { start, samples } = press;
    press = null;
    samples.push(end);
    const moved = Math.hypot(end.x - start.x, end.y - start.y);
    if (moved < TAP_SLOP && end.t - samples[0].t >= HOLD_MS && openHoldMenu()) return;
    if (moved < TAP_SLOP) {
        sendStep({ step: 'tap', x: round(start.x), y: round(start.y) });
        return;
    }
    // The velocity of the last tenth of a second, as a recogniser would see it
    // at the moment the finger lifts.
    let first = samples[0];
    for (const sample of samples) {
        if (end.t - sample.t <= 100) {
            first = sample;
            break;
        }
    }
    const seconds = Math.max((end.t - first.t) / 1000, 0.008);
    const velocity = { x: round((end.x - first.x) / seconds), y: round((end.y - first.y) / seconds) };
    sendStep({ step: 'swipe', x: round(start.x), y: round(start.y), velocity });
});

screenNode.addEventListener('pointercancel', () => {
    press = null;
});

// MARK: The edit menu

// Holding on the text being edited (or a right click) shows the edit menu's
// items; choosing one is the `edit_menu` step, as a finger would do it.
let holdMenu = null;

function closeHoldMenu() {
    holdMenu?.remove();
    holdMenu = null;
}

function openHoldMenu() {
    const items = page.screen?.snapshot.menu?.items || [];
    if (!keyboardShows() || items.length === 0) return false;
    closeHoldMenu();
    holdMenu = document.createElement('div');
    holdMenu.className = 'edit-menu hold-menu';
    holdMenu.dataset.name = 'editMenu';
    for (const item of items) {
        const entry = document.createElement('button');
        entry.type = 'button';
        entry.className = 'menu-item';
        entry.textContent = item;
        entry.addEventListener('click', () => {
            closeHoldMenu();
            sendStep({ step: 'edit_menu', item });
        });
        holdMenu.appendChild(entry);
    }
    screenNode.appendChild(holdMenu);
    return true;
}

screenNode.addEventListener('contextmenu', (event) => {
    if (openHoldMenu()) event.preventDefault();
});

// MARK: Keyboard

function keyboardShows() {
    const keyboard = page.screen?.snapshot.keyboard;
    return Boolean(keyboard && keyboard.visible !== false && keyboard.frame);
}

function pressKey(key) {
    if (key === '⌫') return sendStep({ step: 'backspace' });
    if (key === '⇧') {
        page.shift = !page.shift;
        screenNode.classList.toggle('shifted', page.shift);
        return null;
    }
    if (key === '123') return null;
    let text = key === 'space' ? ' ' : key === 'return' ? '\n' : key;
    if (page.shift && text.length === 1) {
        text = text.toUpperCase();
        page.shift = false;
        screenNode.classList.remove('shifted');
    }
    return sendStep({ step: 'type', text });
}

// MARK: Who has the keyboard

// Pressing on the phone's screen gives the phone the computer's keyboard;
// pressing a control of the page gives it back. While the phone has it no
// key reaches a control of the page (a space would press the button that had
// the focus last), and a key with nothing editing on the phone only says so.
function keyboardOwner() {
    return document.activeElement === screenNode ? 'phone' : 'page';
}

function showKeyboardOwner() {
    const owner = keyboardOwner();
    document.body.dataset.keyboard = owner;
    $('#keyboard-owner').textContent = owner === 'phone' ? 'Keys go to the phone (Esc gives them back)' : 'Keys go to the page';
}

document.addEventListener('focusin', showKeyboardOwner);
document.addEventListener('focusout', () => queueMicrotask(showKeyboardOwner));

const KEY_NAMES = { ' ': 'space', Enter: 'Enter', Backspace: 'Backspace', Tab: 'Tab' };

function phoneKey(event) {
    if (event.key === 'Escape') {
        screenNode.blur();
        return;
    }
    if (!keyboardShows()) {
        if (event.key.length === 1 || event.key in KEY_NAMES) report('idle', `${KEY_NAMES[event.key] || `“${event.key}”`}: nothing is being edited on the phone, the key goes nowhere`);
        return;
    }
    if (event.key === 'Backspace') sendStep({ step: 'backspace' });
    else if (event.key === 'Enter') sendStep({ step: 'type', text: '\n' });
    else if ([...event.key].length === 1) sendStep({ step: 'type', text: event.key });
}

// Capturing, so that the phone sees the key before anything of the page does.
for (const type of ['keydown', 'keypress', 'keyup']) {
    document.addEventListener(
        type,
        (event) => {
            if (keyboardOwner() !== 'phone' || event.ctrlKey || event.metaKey || event.altKey) return;
            event.preventDefault();
            event.stopPropagation();
            if (type === 'keydown') phoneKey(event);
        },
        true,
    );
}

// MARK: The side panel

function turn(direction) {
    const current = page.screen?.springboard.deviceOrientation || 1;
    // Turning left: portrait → landscape (home button right) → upside down → …
    const left = { 1: 3, 3: 2, 2: 4, 4: 1 };
    const right = { 1: 4, 4: 2, 2: 3, 3: 1 };
    sendStep({ step: 'rotate', orientation: (direction === 'left' ? left : right)[current] });
}

function setUpControls() {
    document.addEventListener('click', (event) => {
        const button = event.target.closest('button[data-step]');
        if (button) sendStep({ step: button.dataset.step });
        const orientation = event.target.closest('button[data-orientation]');
        if (orientation) sendStep({ step: 'rotate', orientation: Number(orientation.dataset.orientation) });
    });
    $('#rotate-left').addEventListener('click', () => turn('left'));
    $('#rotate-right').addEventListener('click', () => turn('right'));
    $('#unlock-button').addEventListener('click', async () => {
        await lightLockScreen();
        sendStep({ step: 'swipe', view: 'unlockSlider', velocity: { x: 1200, y: 0 } });
    });

    const form = $('#receive-form');
    const kind = () => form.elements.kind.value;
    const showKind = () => {
        form.dataset.kind = kind();
    };
    form.addEventListener('change', showKind);
    showKind();
    $('#receive-contact').addEventListener('change', (event) => {
        if (event.target.value) $('#receive-from').value = event.target.value;
    });
    form.addEventListener('submit', (event) => {
        event.preventDefault();
        const from = $('#receive-from').value.trim();
        const text = $('#receive-text').value;
        if (!from) return report('error', 'give the sender an address');
        if (kind() === 'sms') sendStep({ step: 'receive_sms', from, text });
        else if (kind() === 'imessage') {
            const step = { step: 'receive_imessage', from, text };
            const picture = $('#receive-picture').value;
            if (picture) step.picture = picture;
            sendStep(step);
        } else sendStep({ step: 'receive_mail', from, subject: $('#receive-subject').value, body: text });
    });

    $('#activator-form').addEventListener('submit', (event) => {
        event.preventDefault();
        sendStep({ step: 'activator', listener: $('#activator-listener').value.trim() });
    });
}

async function loadChoices() {
    const [contacts, pictures, apps] = await Promise.all(
        ['/api/contacts', '/api/pictures', '/api/apps'].map((url) => fetch(url).then((response) => (response.ok ? response.json() : []))),
    );
    const contactSelect = $('#receive-contact');
    contactSelect.replaceChildren(new Option('a typed address', ''));
    for (const contact of contacts) contactSelect.append(new Option(contact.name ? `${contact.name} (${contact.address})` : contact.address, contact.address));
    contactSelect.extraMail = new Option('Giulia Bianchi <giulia@example.com>', 'Giulia Bianchi <giulia@example.com>');
    contactSelect.append(contactSelect.extraMail);
    if (contacts.length) {
        contactSelect.value = contacts[0].address;
        $('#receive-from').value = contacts[0].address;
    }
    const pictureSelect = $('#receive-picture');
    for (const picture of pictures) pictureSelect.append(new Option(picture.name, picture.name));
    const appButton = (label, step, app) => {
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = `${label} ${app.name}`;
        button.dataset.bundle = app.bundle;
        button.dataset.app = step;
        button.addEventListener('click', () => sendStep({ step, bundle: app.bundle }));
        return button;
    };
    // Quitting is the app switcher's: SpringBoard kills the application. These
    // carry a bundle, so they are not data-step buttons (those send the step alone).
    $('#app-buttons').replaceChildren(...apps.flatMap((app) => [appButton('Open', 'open_app', app), appButton('Quit', 'quit_app', app)]));
}

setUpControls();
showKeyboardOwner();
connect();
loadChoices().catch((error) => report('error', `could not load the demo contacts: ${error.message}`));
