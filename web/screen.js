// Draws the phone from its state: the screen's snapshot (every visible window
// from the back to the front, each view at its exact frame inside its
// superview, drawn by its kind as kinds.js says), the drawn keyboard and edit
// menu, and the phone turned as it is held. Each element carries the view's
// class, kind and name as data attributes (data-class, data-kind, data-name),
// so a person inspecting the page, or a test, finds the views by the names
// the system gave them.

import { KINDS, kindOf } from './kinds.js';
import { decorate, element, place } from './paint.js';
import { deviceDegrees, interfaceBox, isSideways } from './orientation.js';

// What each element was drawn from, and the elements of its subviews in
// order (null for a hidden one). A view described exactly as it was last time
// keeps its element and everything in it: a click that changes part of the
// screen costs the page, and the browser's layout and paint, only that part.
const drawnFrom = new WeakMap();

// Two values parsed from the snapshot's JSON, compared as JSON.
function same(a, b) {
    if (a === b) return true;
    if (typeof a !== 'object' || typeof b !== 'object' || a === null || b === null || Array.isArray(a) !== Array.isArray(b)) return false;
    const keys = Object.keys(a);
    if (keys.length !== Object.keys(b).length) return false;
    for (const key of keys) {
        if (!same(a[key], b[key])) return false;
    }
    return true;
}

// `previous`: the element drawn last time at this place among its siblings, if any.
export function drawView(view, previous = null) {
    if (!view || view.hidden) return null;
    const before = previous && drawnFrom.get(previous);
    if (before && same(before.view, view)) return previous;
    const kind = kindOf(view);
    const entry = KINDS[kind];
    const node = element('div', `view kind-${kind}`);
    node.dataset.class = view.class;
    node.dataset.kind = kind;
    if (view.name) node.dataset.name = view.name;
    if (view.firstResponder) node.dataset.firstResponder = 'true';
    if (view.level !== undefined) node.dataset.level = view.level;
    place(node, view);
    decorate(node, view);
    if (entry.clips || view.cornerRadius > 0) node.classList.add('clips');
    entry.draw?.(node, view);

    // The subviews sit in the bounds' coordinates: a scrolled view moves them.
    const [bx, by] = view.bounds;
    let content = node;
    if (bx || by || entry.content) {
        content = element('div', 'content');
        content.style.transform = `translate(${-bx}px, ${-by}px)`;
        node.appendChild(content);
    }
    entry.content?.(content, view, drawView);
    const children = (view.subviews || []).map((subview, index) => {
        const child = drawView(subview, before?.children[index]);
        if (child) content.appendChild(child);
        return child;
    });
    drawnFrom.set(node, { view, children });
    return node;
}

const KEY_ROWS = [
    ['q', 'w', 'e', 'r', 't', 'y', 'u', 'i', 'o', 'p'],
    ['a', 's', 'd', 'f', 'g', 'h', 'j', 'k', 'l'],
    ['⇧', 'z', 'x', 'c', 'v', 'b', 'n', 'm', '⌫'],
    ['123', '.', 'space', 'return'],
];

export const keyboardShows = (snapshot) => Boolean(snapshot?.keyboard?.visible && snapshot.keyboard.frame);

function drawKeyboard(keyboard, orientation) {
    const box = interfaceBox(keyboard.frame, orientation);
    const node = element('div', 'keyboard');
    node.dataset.name = 'keyboard';
    node.style.left = `${box.left}px`;
    node.style.top = `${box.top}px`;
    node.style.width = `${box.width}px`;
    node.style.height = `${box.height}px`;
    if (box.angle) node.style.transform = `rotate(${box.angle}rad)`;
    for (const keys of KEY_ROWS) {
        const row = element('div', 'key-row');
        for (const key of keys) {
            const button = element('span', 'key');
            button.dataset.key = key;
            button.textContent = key;
            if (key.length > 1) button.classList.add('wide');
            if (key === 'space') button.classList.add('space');
            row.appendChild(button);
        }
        node.appendChild(row);
    }
    return node;
}

function drawMenu(menu) {
    const node = element('div', 'edit-menu');
    node.dataset.name = 'editMenu';
    for (const item of menu.items || []) {
        const entry = element('span', 'menu-item');
        entry.textContent = item;
        node.appendChild(entry);
    }
    return node;
}

// The windows drawn last time, in order (null for a hidden one), and the keyboard.
const lastDrawn = new WeakMap();

export function drawScreen(container, snapshot) {
    const last = lastDrawn.get(container);
    const fragment = document.createDocumentFragment();
    const windows = (snapshot.windows || []).map((window, index) => {
        const node = drawView(window, last?.windows[index]);
        if (node) fragment.appendChild(node);
        return node;
    });
    let keyboard = null;
    if (keyboardShows(snapshot)) {
        const drawn = { frame: snapshot.keyboard.frame, orientation: snapshot.orientation };
        keyboard = last?.keyboard && same(last.keyboard.drawn, drawn) ? last.keyboard : { drawn, node: drawKeyboard(snapshot.keyboard, snapshot.orientation) };
        fragment.appendChild(keyboard.node);
    }
    lastDrawn.set(container, { windows, keyboard });
    if (snapshot.menu?.visible) fragment.appendChild(drawMenu(snapshot.menu));
    container.replaceChildren(fragment);
}

// The phone as it is held, and a line saying what it shows.
export function drawPhone({ phone, stage, status }, springboard) {
    const orientation = springboard.deviceOrientation || 1;
    phone.dataset.orientation = orientation;
    phone.style.transform = `rotate(${deviceDegrees(orientation)}deg)`;
    stage.classList.toggle('sideways', isSideways(orientation));
    document.body.dataset.locked = springboard.locked;
    const front = springboard.frontApp || 'home screen';
    const shows = springboard.locked ? (springboard.dimmed ? 'locked, screen dark' : 'locked') : front;
    const banner = springboard.banner ? ` · banner: ${springboard.banner.title}` : '';
    status.textContent = `${shows} · orientation ${springboard.orientation}${banner}`;
}
