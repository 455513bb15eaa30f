// The choice of extensions the phone loads, and the reboot that applies it.
// Libraries once loaded stay in SpringBoard, so another choice means a new
// boot: the server installs it, starts again, and this page reloads once the
// phone answers.

const form = document.getElementById('extensions-form');
const choice = document.getElementById('extensions-choice');
const status = document.getElementById('extensions-status');

function capitalised(name) {
    return name.charAt(0).toUpperCase() + name.slice(1);
}

async function showChoice() {
    const response = await fetch('/api/extensions');
    if (!response.ok)
        return;
    const { available, chosen } = await response.json();
    choice.replaceChildren(...available.map((name) => {
        const label = document.createElement('label');
        const box = document.createElement('input');
        box.type = 'checkbox';
        box.name = 'extension';
        box.value = name;
        box.checked = chosen.includes(name);
        label.append(box, ' ' + capitalised(name));
        return label;
    }));
    status.textContent = 'Loaded: ' + chosen.map(capitalised).join(' and ');
}

async function waitForPhone() {
    for (let attempt = 0; attempt < 100; ++attempt) {
        await new Promise((resolve) => setTimeout(resolve, 300));
        try {
            const response = await fetch('/api/extensions', { cache: 'no-store' });
            if (response.ok)
                return true;
        } catch {
            // The server is starting again.
        }
    }
    return false;
}

form.addEventListener('submit', async (event) => {
    event.preventDefault();
    const extensions = [...form.querySelectorAll('input[name=extension]:checked')].map((box) => box.value);
    if (extensions.length === 0) {
        status.textContent = 'Choose at least one extension.';
        return;
    }
    status.textContent = 'Rebooting…';
    const response = await fetch('/api/extensions', {
        method: 'POST',
        headers: { 'Content-Type': 'application/json' },
        body: JSON.stringify({ extensions }),
    });
    if (!response.ok) {
        const body = await response.json().catch(() => ({}));
        status.textContent = body.error || 'The phone could not reboot.';
        return;
    }
    // The old server is still up for a moment: wait until it has gone.
    await new Promise((resolve) => setTimeout(resolve, 600));
    if (await waitForPhone())
        location.reload();
    else
        status.textContent = 'The phone did not come back.';
});

showChoice();
