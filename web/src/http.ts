// Requests to the host's API: JSON both ways, the session's CSRF token on every change.

export class ApiError extends Error {
    constructor(
        readonly status: number,
        message: string,
        readonly body: unknown = null,
    ) {
        super(message);
    }
}

let csrfToken = "";

export function setCsrfToken(token: string): void {
    csrfToken = token;
}

export async function api<T>(method: "GET" | "POST", path: string, body?: unknown): Promise<T> {
    const headers: Record<string, string> = { Accept: "application/json" };
    if (method !== "GET") {
        headers["Content-Type"] = "application/json";
        if (csrfToken) {
            headers["X-Zovrena-Csrf"] = csrfToken;
        }
    }
    let response: Response;
    try {
        response = await fetch(path, {
            method,
            headers,
            body: method === "GET" ? null : JSON.stringify(body ?? {}),
            credentials: "same-origin",
        });
    } catch {
        throw new ApiError(0, "Il server non risponde. Controllare la connessione e riprovare.");
    }
    let data: unknown = null;
    try {
        data = await response.json();
    } catch {
        data = null;
    }
    if (!response.ok) {
        const message =
            data && typeof data === "object" && "error" in data && typeof data.error === "string"
                ? data.error
                : `Richiesta non riuscita (${response.status}).`;
        throw new ApiError(response.status, message, data);
    }
    return data as T;
}
