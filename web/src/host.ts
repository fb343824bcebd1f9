// The host frame: company selector, program menu, host toolbar and the window area.

import { showCheck, type CheckAnswer, type CheckProblem } from "./check.js";
import { assign, h, patch } from "./dom.js";
import { api, ApiError, setCsrfToken } from "./http.js";
import type { SessionInfo, WindowAction, WindowSnapshot } from "./protocol.js";
import { heldGridRows, lacksGridRows } from "./grid.js";
import { markFocus, rememberParts, renderWindow, restoreFocus } from "./window_view.js";

const hostButtons: { name: string; caption: string }[] = [
    { name: "Nuovo", caption: "Nuovo" },
    { name: "Conferma", caption: "Conferma" },
    { name: "Annulla", caption: "Annulla" },
    { name: "Stampa", caption: "Stampa" },
    { name: "Media", caption: "Collegamenti multimediali" },
    { name: "Storico", caption: "Storico delle modifiche" },
    { name: "Verifica", caption: "Verifica dei parametri salvati" },
    { name: "Chiudi", caption: "Chiudi" },
];

function element<T extends HTMLElement>(selector: string): T {
    const found = document.querySelector<T>(selector);
    if (!found) {
        throw new Error(`manca ${selector} nella pagina`);
    }
    return found;
}

const companySelect = element<HTMLSelectElement>("[data-control=host-company]");
const userName = element<HTMLElement>("[data-host=user]");
const signOutButton = element<HTMLButtonElement>("[data-host=sign-out]");
const menu = element<HTMLElement>("[data-host=menu]");
const toolbar = element<HTMLElement>("[data-host=toolbar]");
const windowArea = element<HTMLElement>("[data-host=window-area]");
const notice = element<HTMLElement>("[data-host=notice]");

let session: SessionInfo | null = null;
let snapshot: WindowSnapshot | null = null;
let pending: Promise<void> = Promise.resolve();

function showNotice(text: string): void {
    assign(notice, "textContent", text);
    assign(notice, "hidden", text === "");
}

function failed(error: unknown): void {
    if (error instanceof ApiError && error.status === 401) {
        const revoked =
            typeof error.body === "object" && error.body !== null && "revoked" in error.body;
        location.assign(revoked ? "/login.html?revocata=1" : "/login.html?scaduta=1");
        return;
    }
    showNotice(error instanceof Error ? error.message : "Operazione non riuscita.");
}

// Requests run one after the other, in the order the person acted. A wait long enough to notice
// makes the window area say it is busy (with a moving bar); quick answers leave the page alone.
let waiting = 0;
let busyTimer: number | undefined;

function enqueue(work: () => Promise<void>): void {
    waiting += 1;
    busyTimer ??= window.setTimeout(() => windowArea.setAttribute("aria-busy", "true"), 200);
    pending = pending
        .then(work)
        .catch(failed)
        .finally(() => {
            waiting -= 1;
            if (waiting === 0) {
                window.clearTimeout(busyTimer);
                busyTimer = undefined;
                windowArea.removeAttribute("aria-busy");
            }
        });
}

function drawCompanies(): void {
    if (!session) {
        return;
    }
    companySelect.replaceChildren();
    if (session.company === null) {
        companySelect.append(h("option", { value: "" }, "— scegliere la ditta —"));
    }
    for (const company of session.companies) {
        companySelect.append(h("option", { value: String(company.code) }, `${company.code} - ${company.name}`));
    }
    companySelect.value = session.company === null ? "" : String(session.company);
}

// The menu is built again only when it changes: its buttons are form controls (see assign).
let menuDrawn = "";

function drawMenu(): void {
    const drawn = JSON.stringify([session?.menu ?? [], session?.company ?? null, snapshot === null]);
    if (drawn === menuDrawn) {
        return;
    }
    menuDrawn = drawn;
    menu.replaceChildren();
    for (const entry of session?.menu ?? []) {
        const usable = entry.available && session?.company !== null && snapshot === null;
        const button = h(
            "button",
            {
                type: "button",
                "data-menu": entry.progId,
                disabled: !usable,
                title: entry.available ? entry.caption : `${entry.caption}: non disponibile`,
            },
            entry.caption,
        );
        if (!entry.available) {
            button.append(h("span", { class: "unavailable" }, " (non disponibile)"));
        }
        button.addEventListener("click", () => enqueue(() => openProgram(entry.progId)));
        menu.append(h("li", {}, button));
    }
}

function drawToolbar(): void {
    const states = new Map((snapshot?.toolbar ?? []).map((state) => [state.name, state.enabled]));
    for (const button of toolbar.querySelectorAll<HTMLButtonElement>("[data-host-button]")) {
        const name = button.dataset["hostButton"] ?? "";
        const open = snapshot !== null && !snapshot.closed;
        const hostOwn = name === "Chiudi" || name === "Verifica";
        assign(button, "disabled", !open || (!hostOwn && states.get(name) !== true));
    }
}

function drawWindow(): void {
    const mark = markFocus(windowArea);
    if (!snapshot || snapshot.closed) {
        snapshot = null;
        rememberParts(null);
        windowArea.replaceChildren(h("p", { class: "window-empty" }, "Nessun programma aperto."));
    } else {
        const context = { send: (action: WindowAction) => enqueue(() => act(action)) };
        const shown = windowArea.childElementCount === 1 ? windowArea.firstElementChild : null;
        if (shown) {
            patch(shown, renderWindow(snapshot, context, shown));
        } else {
            windowArea.replaceChildren(renderWindow(snapshot, context));
        }
        rememberParts(windowArea.firstElementChild);
        restoreFocus(windowArea, mark, snapshot);
    }
    drawToolbar();
    drawMenu();
}

async function openProgram(progId: string): Promise<void> {
    showNotice("");
    snapshot = await api<WindowSnapshot>("POST", "/api/window", { progId });
    drawWindow();
}

async function act(action: WindowAction): Promise<void> {
    if (!snapshot) {
        return;
    }
    showNotice("");
    const path = `/api/window/${encodeURIComponent(snapshot.window)}/action`;
    try {
        snapshot = await api<WindowSnapshot>("POST", path, {
            ...action,
            revision: snapshot.revision,
            gridRows: heldGridRows(),
        });
        if (lacksGridRows(snapshot)) {
            snapshot = await api<WindowSnapshot>("GET", `/api/window/${encodeURIComponent(snapshot.window)}`);
        }
        performance.mark("zovrena:answer");
    } catch (error) {
        // A refused action comes with the window as it is now (changed in another tab, a box
        // waiting, the window closed): draw that, then say why.
        const body = error instanceof ApiError ? error.body : null;
        if (body && typeof body === "object" && "window" in body && body.window) {
            snapshot = body.window as WindowSnapshot;
            drawWindow();
        } else if (error instanceof ApiError && error.status === 404) {
            snapshot = null;
            drawWindow();
        }
        throw error;
    }
    if (snapshot.session) {
        session = snapshot.session;
        drawCompanies();
    }
    drawWindow();
    performance.mark("zovrena:drawn");
}

async function verify(opener: HTMLElement): Promise<void> {
    if (!snapshot) {
        return;
    }
    const path = `/api/window/${encodeURIComponent(snapshot.window)}/check`;
    const answer = await api<CheckAnswer>("GET", path);
    showCheck(answer, toolbar.parentElement ?? document.body, (problem) => enqueue(() => goTo(problem)), opener);
}

// The document row first (chosen in the header, which the group's first page open to everyone
// shows), then its page, then the control.
async function goTo(problem: CheckProblem): Promise<void> {
    if (problem.document !== "") {
        const group = snapshot?.sideBar?.groups.find((candidate) => candidate.key === problem.group);
        const first = group?.items.find((candidate) => candidate.enabled);
        if (first && !first.current) {
            await act({ type: "clickItem", item: first.key });
        }
        const code = snapshot?.header?.controls.find((control) => control.kind === "edit");
        if (code) {
            await act({ type: "leaveField", control: code.name, text: problem.document });
        }
    }
    if (problem.item !== "") {
        await act({ type: "clickItem", item: problem.item });
    }
    const selector =
        problem.control !== "" ? `[data-control="${CSS.escape(problem.control)}"]` : `[data-item="${CSS.escape(problem.item)}"]`;
    windowArea.querySelector<HTMLElement>(selector)?.focus();
}

async function changeCompany(code: number): Promise<void> {
    showNotice("");
    try {
        const answer = await api<SessionInfo & { window?: WindowSnapshot | null }>("POST", "/api/company", {
            company: code,
        });
        session = answer;
        if (answer.window !== undefined) {
            snapshot = answer.window;
        }
    } finally {
        drawCompanies();
        drawWindow();
    }
}

function buildToolbar(): void {
    for (const button of hostButtons) {
        const element = h(
            "button",
            { type: "button", "data-host-button": button.name, title: button.caption, disabled: true },
            button.name,
        );
        element.addEventListener("click", () =>
            enqueue(() => {
                if (button.name === "Verifica") {
                    return verify(element);
                }
                return act(button.name === "Chiudi" ? { type: "close" } : { type: "hostButton", button: button.name });
            }),
        );
        toolbar.append(element);
    }
}

async function start(): Promise<void> {
    buildToolbar();
    session = await api<SessionInfo>("GET", "/api/session");
    setCsrfToken(session.csrfToken);
    userName.textContent = session.userName || session.user;
    drawCompanies();
    if (session.openWindow) {
        // The window already open in this session (another tab, a reload) is shown again.
        snapshot = await api<WindowSnapshot>("GET", `/api/window/${encodeURIComponent(session.openWindow)}`);
    }
    drawWindow();
    companySelect.addEventListener("change", () => {
        const code = Number(companySelect.value);
        if (Number.isInteger(code) && companySelect.value !== "") {
            enqueue(() => changeCompany(code));
        }
    });
    signOutButton.addEventListener("click", () =>
        enqueue(async () => {
            await api("POST", "/api/logout");
            location.assign("/login.html");
        }),
    );
}

start().catch(failed);
