// What a person does on the phone, turned into steps: a click is a `tap`, a
// drag a `swipe` with its velocity, a hold (or right click) on the text
// being edited opens the edit menu, the drawn keyboard's keys and the
// computer's keyboard type.
//
// Who has the computer's keyboard: pressing on the phone's screen gives it to
// the phone; pressing a control of the page gives it back (so does Esc).
// While the phone has it no key reaches a control of the page (a space would
// press again the button that was pressed last), and a key with nothing
// editing on the phone goes nowhere and the status line says so.
//
// The phone holds the keyboard through a hidden text box laid over the
// screen. A plain key is typed on its keydown (and kept out of the box);
// whatever the browser inserts without one – a dead key's accent, a compose
// sequence, an input method's word, a pasted text – lands in the box and is
// typed from there once the composition is over, so each character reaches
// the phone exactly once.

import { keyboardShows } from './screen.js';
import { toScreen } from './orientation.js';

// Below this many points a press is a tap, not a swipe.
const TAP_SLOP = 8;
// A finger held this long on the text being edited opens the edit menu.
const HOLD_MS = 500;
// A swipe's velocity is that of the last tenth of a second, as a recogniser
// sees it when the finger lifts.
const VELOCITY_WINDOW_MS = 100;

const round = (value) => Math.round(value * 10) / 10;

const KEY_NAMES = { ' ': 'space', Enter: 'Enter', Backspace: 'Backspace', Tab: 'Tab' };

// The name of the view drawn under a point of the page, for the step's comment.
function viewNameAt(target) {
    return target?.closest?.('[data-name]')?.dataset.name ?? null;
}

// `phone()` answers the latest {snapshot, springboard}.
export function createInput({ screenNode, keysNode, homeNode, ownerNode, phone, send, report }) {
    let press = null;
    let holdMenu = null;
    let shift = false;
    let composing = false;

    const snapshot = () => phone()?.snapshot;
    const orientation = () => phone()?.springboard.deviceOrientation || 1;
    const point = (event) => toScreen(screenNode.getBoundingClientRect(), orientation(), event.clientX, event.clientY);

    // MARK: Who has the keyboard

    const owner = () => (document.activeElement === keysNode ? 'phone' : 'page');

    function showOwner() {
        const now = owner();
        document.body.dataset.keyboard = now;
        ownerNode.textContent = now === 'phone' ? 'Keys go to the phone (Esc gives them back)' : 'Keys go to the page';
    }

    // The press's default is prevented (no text selection while dragging),
    // so the screen takes the keyboard itself.
    const takeKeyboard = () => keysNode.focus({ preventScroll: true });

    const goesNowhere = (what) => report('idle', `${what}: nothing is being edited on the phone, the key goes nowhere`);

    function typeKey(event) {
        if (event.key === 'Escape') {
            keysNode.blur();
            return;
        }
        if (!keyboardShows(snapshot())) {
            if ([...event.key].length === 1 || event.key in KEY_NAMES) goesNowhere(KEY_NAMES[event.key] || `“${event.key}”`);
            return;
        }
        if (event.key === 'Backspace') send({ step: 'backspace' });
        else if (event.key === 'Enter') send({ step: 'type', text: '\n' });
        else if ([...event.key].length === 1) send({ step: 'type', text: event.key });
    }

    // A key the browser is still composing into a character: it must reach
    // the text box, which types the character when the composition ends.
    const composes = (event) => composing || event.isComposing || event.key === 'Dead' || event.keyCode === 229;

    // Types what the browser inserted into the text box, and empties it.
    function typeInserted() {
        const text = keysNode.value;
        keysNode.value = '';
        if (!text) return;
        if (!keyboardShows(snapshot())) goesNowhere(`“${text}”`);
        else send({ step: 'type', text });
    }

    // MARK: The edit menu

    function closeHoldMenu() {
        holdMenu?.remove();
        holdMenu = null;
    }

    function openHoldMenu() {
        const items = snapshot()?.menu?.items || [];
        if (!keyboardShows(snapshot()) || items.length === 0) return false;
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
                send({ step: 'edit_menu', item });
            });
            holdMenu.appendChild(entry);
        }
        screenNode.appendChild(holdMenu);
        return true;
    }

    // MARK: The drawn keyboard

    function pressKey(key) {
        if (key === '⌫') return send({ step: 'backspace' });
        if (key === '⇧') {
            shift = !shift;
            screenNode.classList.toggle('shifted', shift);
            return null;
        }
        if (key === '123') return null;
        let text = key === 'space' ? ' ' : key === 'return' ? '\n' : key;
        if (shift && text.length === 1) {
            text = text.toUpperCase();
            shift = false;
            screenNode.classList.remove('shifted');
        }
        return send({ step: 'type', text });
    }

    // MARK: Touches

    function finishPress(event) {
        const end = { ...point(event), t: event.timeStamp };
        const { start, samples, target } = press;
        press = null;
        samples.push(end);
        const moved = Math.hypot(end.x - start.x, end.y - start.y);
        if (moved < TAP_SLOP && end.t - samples[0].t >= HOLD_MS && openHoldMenu()) return;
        const name = viewNameAt(target);
        const on = name ? ` on ${name}` : '';
        if (moved < TAP_SLOP) {
            send({ step: 'tap', x: round(start.x), y: round(start.y), comment: `tap${on}` });
            return;
        }
        const first = samples.find((sample) => end.t - sample.t <= VELOCITY_WINDOW_MS) ?? samples[0];
        const seconds = Math.max((end.t - first.t) / 1000, 0.008);
        const velocity = { x: round((end.x - first.x) / seconds), y: round((end.y - first.y) / seconds) };
        send({ step: 'swipe', x: round(start.x), y: round(start.y), velocity, comment: `swipe${on}` });
    }

    function listen() {
        // The phone's home button and the edit menu's items are the phone's:
        // pressing them leaves the keyboard where it is.
        for (const node of [homeNode, screenNode])
            node.addEventListener('pointerdown', (event) => {
                if (event.target.closest('#home-button, .hold-menu')) event.preventDefault();
            });
        screenNode.addEventListener('pointerdown', (event) => {
            if (event.button !== 0 || event.target.closest('.hold-menu')) return;
            closeHoldMenu();
            event.preventDefault();
            takeKeyboard();
            const key = event.target.closest('.key');
            if (key) {
                pressKey(key.dataset.key);
                return;
            }
            const start = point(event);
            press = { start, target: event.target, samples: [{ ...start, t: event.timeStamp }] };
            screenNode.setPointerCapture(event.pointerId);
        });
        screenNode.addEventListener('pointermove', (event) => {
            if (!press) return;
            press.samples.push({ ...point(event), t: event.timeStamp });
            if (press.samples.length > 64) press.samples.splice(0, press.samples.length - 64);
        });
        screenNode.addEventListener('pointerup', (event) => {
            if (press) finishPress(event);
        });
        screenNode.addEventListener('pointercancel', () => {
            press = null;
        });
        screenNode.addEventListener('contextmenu', (event) => {
            if (openHoldMenu()) event.preventDefault();
        });

        // Reaching the screen with Tab gives the phone the keyboard too.
        screenNode.addEventListener('focus', takeKeyboard);
        keysNode.addEventListener('compositionstart', () => {
            composing = true;
        });
        keysNode.addEventListener('compositionend', () => {
            composing = false;
            typeInserted();
        });
        // Mid-composition the box holds a draft the input method may still change.
        keysNode.addEventListener('input', (event) => {
            if (!composing && !event.isComposing) typeInserted();
        });
        keysNode.addEventListener('blur', () => {
            composing = false;
            keysNode.value = '';
        });

        document.addEventListener('focusin', showOwner);
        document.addEventListener('focusout', () => queueMicrotask(showOwner));
        // Capturing, so that the phone sees a key before anything of the page.
        for (const type of ['keydown', 'keypress', 'keyup']) {
            document.addEventListener(
                type,
                (event) => {
                    if (owner() !== 'phone') return;
                    event.stopPropagation();
                    // Shortcuts (a paste) and composing keys act on the text box.
                    if (event.ctrlKey || event.metaKey || event.altKey || composes(event)) return;
                    event.preventDefault();
                    if (type === 'keydown') typeKey(event);
                },
                true,
            );
        }
        showOwner();
    }

    listen();
    return {
        // The screen was drawn afresh: an open edit menu stays on top.
        redrawn() {
            if (holdMenu) screenNode.appendChild(holdMenu);
        },
    };
}
