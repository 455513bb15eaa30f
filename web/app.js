// The page's entry: wires the parts together and keeps nothing of its own
// but the latest state, which `window.plv` shows to tests and to anyone
// poking at the page from the console.
//
//   transport.js   steps to the server, the server's pushed state
//   screen.js      the phone drawn from its state (kinds.js: one drawing per kind)
//   input.js       clicks, drags and keys on the phone → steps
//   sidepanel.js   the controls beside the phone → steps
//   recorder.js    the steps sent, recorded as a scenario file; a file played back
//   panels.js      what the phone keeps: messages, outbox, logs, preferences

import { createTransport } from './transport.js';
import { drawScreen, drawPhone } from './screen.js';
import { createInput } from './input.js';
import { createSidePanel } from './sidepanel.js';
import { createRecorder } from './recorder.js';
import { drawPanels } from './panels.js';
import { report } from './status.js';

const $ = (selector) => document.querySelector(selector);

const transport = createTransport({ report });
const state = {
    screen: null, // {snapshot, springboard}
    panels: null,
    screenGeneration: 0,
    panelsGeneration: 0,
    get pendingSteps() {
        return transport.pending;
    },
};
window.plv = state;

const phone = () => state.screen;
const send = (step) => transport.send(step);
const input = createInput({ screenNode: $('#screen'), keysNode: $('#phone-keys'), homeNode: $('#home-button'), ownerNode: $('#keyboard-owner'), phone, send, report });
const sidePanel = createSidePanel({ send, list: transport.list, report, phone });
createRecorder({ send, onStep: transport.onStep, report });

let pendingPanels = null;
function showPanels() {
    const { generation, state: panels } = pendingPanels;
    pendingPanels = null;
    state.panels = panels;
    state.panelsGeneration = generation;
    drawPanels(panels);
    document.body.dataset.panelsGeneration = generation;
}

transport.subscribe({
    screen({ generation, state: screen }) {
        state.screen = screen;
        state.screenGeneration = generation;
        drawScreen($('#screen'), screen.snapshot);
        input.redrawn();
        drawPhone({ phone: $('#phone'), stage: $('#stage'), status: $('#device-status') }, screen.springboard);
        sidePanel.draw(screen.springboard);
        document.body.dataset.screenGeneration = generation;
    },
    // The panels (which grow with the Messages database) come right behind
    // the screen a click changed; drawn at once they would hold up the frame
    // that shows that screen. They are drawn after it, the newest only.
    panels(update) {
        if (!pendingPanels) requestAnimationFrame(() => setTimeout(showPanels));
        pendingPanels = update;
    },
    connected(up) {
        document.body.classList.toggle('disconnected', !up);
        if (!up) $('#device-status').textContent = 'the simulator is not answering; retrying…';
    },
});
