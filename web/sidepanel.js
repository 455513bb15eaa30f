// The page's controls beside and under the phone: receiving an SMS, an
// iMessage or an e-mail, the device buttons (home, lock, unlock, the
// notification centre, turning the phone, the Activator event), opening and
// quitting each installed application, and the notification centre's and
// lock screen's bulletins. Every control sends steps; what it may offer
// (senders, pictures, applications) comes from the server.

import { turned } from './orientation.js';

const $ = (selector) => document.querySelector(selector);

// `phone()` answers the latest {snapshot, springboard}.
export function createSidePanel({ send, list, report, phone }) {
    const springboard = () => phone()?.springboard;

    // A dark lock screen lights first, as a finger on the home button does.
    async function lightLockScreen() {
        if (springboard()?.dimmed) await send({ step: 'home' });
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

    function setUpDevice() {
        document.addEventListener('click', (event) => {
            const button = event.target.closest('button[data-step]');
            if (button) send({ step: button.dataset.step });
            const orientation = event.target.closest('button[data-orientation]');
            if (orientation) send({ step: 'rotate', orientation: Number(orientation.dataset.orientation) });
        });
        for (const direction of ['left', 'right'])
            $(`#rotate-${direction}`).addEventListener('click', () => send({ step: 'rotate', orientation: turned(springboard()?.deviceOrientation || 1, direction) }));
        $('#unlock-button').addEventListener('click', async () => {
            await lightLockScreen();
            send({ step: 'swipe', view: 'unlockSlider', velocity: { x: 1200, y: 0 } });
        });
        $('#activator-form').addEventListener('submit', (event) => {
            event.preventDefault();
            send({ step: 'activator', listener: $('#activator-listener').value.trim() });
        });
    }

    function setUpReceive() {
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
            if (kind() === 'sms') return send({ step: 'receive_sms', from, text });
            if (kind() === 'imessage') {
                const step = { step: 'receive_imessage', from, text };
                const picture = $('#receive-picture').value;
                if (picture) step.picture = picture;
                return send(step);
            }
            return send({ step: 'receive_mail', from, subject: $('#receive-subject').value, body: text });
        });
    }

    // A sender as the From field takes it: a mail address with its name as
    // a mail's From line writes it.
    const fromLine = (contact) => (contact.name && contact.address.includes('@') ? `${contact.name} <${contact.address}>` : contact.address);

    async function loadChoices() {
        const [contacts, pictures, apps] = await Promise.all([list('/api/contacts'), list('/api/pictures'), list('/api/apps')]);
        const contactSelect = $('#receive-contact');
        contactSelect.replaceChildren(new Option('a typed address', ''));
        for (const contact of contacts) contactSelect.append(new Option(contact.name ? `${contact.name} (${contact.address})` : contact.address, fromLine(contact)));
        if (contacts.length) {
            contactSelect.value = fromLine(contacts[0]);
            $('#receive-from').value = fromLine(contacts[0]);
        }
        const pictureSelect = $('#receive-picture');
        for (const picture of pictures) pictureSelect.append(new Option(picture.name, picture.name));
        const appButton = (label, step, app) => {
            const button = document.createElement('button');
            button.type = 'button';
            button.textContent = `${label} ${app.name}`;
            button.dataset.bundle = app.bundle;
            button.dataset.app = step;
            button.addEventListener('click', () => send({ step, bundle: app.bundle }));
            return button;
        };
        // Quitting is the app switcher's: SpringBoard kills the application.
        // These carry a bundle, so they are not data-step buttons (those send
        // the step alone).
        $('#app-buttons').replaceChildren(...apps.flatMap((app) => [appButton('Open', 'open_app', app), appButton('Quit', 'quit_app', app)]));
    }

    setUpDevice();
    setUpReceive();
    loadChoices().catch((error) => report('error', `could not load the senders, pictures and applications: ${error.message}`));

    return {
        // The bulletins the notification centre and the lock screen hold.
        draw(state) {
            const centre = state.notificationCenter || { open: false, bulletins: [] };
            $('#nc-rows').replaceChildren(
                ...centre.bulletins.map((bulletin, index) =>
                    bulletinRow(bulletin, centre.open ? 'Tap' : 'Tap (open the centre first)', () => send({ step: 'tap_notification', index }), centre.open),
                ),
            );
            $('#lock-rows').replaceChildren(
                ...(state.lockScreen || []).map((bulletin, index) =>
                    bulletinRow(
                        bulletin,
                        'Slide to open',
                        async () => {
                            await lightLockScreen();
                            send({ step: 'unlock_bulletin', index });
                        },
                        state.locked,
                    ),
                ),
            );
        },
    };
}
